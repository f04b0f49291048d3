#pragma once

#include "host/components/model/Exception.h"
#include "host/components/model/Set.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace vorn {

class TObject;
class TClass;

// What kind of value a published property holds.
enum TTypeKind {
    tkInteger,     // a whole number (also TColor): std::int64_t
    tkBoolean,     // bool
    tkEnumeration, // the member's ordinal: std::int64_t
    tkSet,         // the members' bits (member N is bit N): std::int64_t
    tkString,      // std::string
    tkComponent,   // a reference to a component owned elsewhere: TObject* (may be null)
    tkObject,      // an owned sub-object whose own published properties are streamed: TObject*
    tkMethod       // an event handler; handlers have no name, so the value is std::monostate
};

using TPropertyValue = std::variant<std::monostate, std::int64_t, bool, std::string, TObject*>;

// The type of a published property as the designer and the form files see it.
struct TTypeInfo {
    std::string Name;
    TTypeKind Kind;
    // Enumeration and set members in ordinal order.
    std::vector<std::string> ElementNames;
    // For tkComponent and tkObject: the class the value must be (or descend from).
    const TClass* ClassType = nullptr;
};

// A published property: a name, a type, and accessors on an instance. Set is empty
// for a sub-object, which is changed through its own properties. A property with a
// StreamDefault is left out of a form file while it holds that value, so that forms
// written before the property existed read back as they were written.
struct TPropertyInfo {
    std::string Name;
    const TTypeInfo* Type = nullptr;
    std::function<TPropertyValue(TObject&)> Get;
    std::function<void(TObject&, const TPropertyValue&)> Set;
    std::optional<TPropertyValue> StreamDefault;
};

const TTypeInfo& IntegerTypeInfo();
const TTypeInfo& BooleanTypeInfo();
const TTypeInfo& StringTypeInfo();

namespace typeinfo_detail {

template <typename T>
struct IsSet : std::false_type {};
template <typename E>
struct IsSet<TSet<E>> : std::true_type {};

template <typename V>
TPropertyValue ToValue(const V& Value) {
    if constexpr (std::is_same_v<V, bool>)
        return Value;
    else if constexpr (std::is_same_v<V, std::string>)
        return Value;
    else if constexpr (IsSet<V>::value)
        return static_cast<std::int64_t>(Value.Bits());
    else if constexpr (std::is_pointer_v<V>)
        return static_cast<TObject*>(Value);
    else
        return static_cast<std::int64_t>(Value); // integers and enumerations
}

template <typename V>
V FromValue(const TPropertyValue& Value, const std::string& Name) {
    auto Require = [&](bool Holds) {
        if (!Holds)
            throw EConvertError("Property " + Name + " has a value of the wrong type");
    };
    if constexpr (std::is_same_v<V, bool>) {
        Require(std::holds_alternative<bool>(Value));
        return std::get<bool>(Value);
    } else if constexpr (std::is_same_v<V, std::string>) {
        Require(std::holds_alternative<std::string>(Value));
        return std::get<std::string>(Value);
    } else if constexpr (IsSet<V>::value) {
        Require(std::holds_alternative<std::int64_t>(Value));
        return V::FromBits(static_cast<std::uint64_t>(std::get<std::int64_t>(Value)));
    } else if constexpr (std::is_pointer_v<V>) {
        Require(std::holds_alternative<TObject*>(Value));
        TObject* Object = std::get<TObject*>(Value);
        if (Object == nullptr)
            return nullptr;
        auto* Typed = dynamic_cast<V>(Object);
        Require(Typed != nullptr);
        return Typed;
    } else {
        Require(std::holds_alternative<std::int64_t>(Value));
        const std::int64_t Number = std::get<std::int64_t>(Value);
        // A value the property's type cannot hold is refused rather than cut down.
        using Stored = typename std::conditional_t<std::is_enum_v<V>, std::underlying_type<V>,
                                                   std::type_identity<V>>::type;
        if (!std::in_range<Stored>(Number))
            throw EConvertError("Property " + Name + " value " + std::to_string(Number) +
                                " is out of range");
        return static_cast<V>(Number);
    }
}

} // namespace typeinfo_detail

// A property read through Getter and written through Setter, members of class C.
// Integers, enumerations, TSet<>, bool, std::string and component pointers are supported.
template <class C, class R, class P>
TPropertyInfo MakeProperty(std::string Name, const TTypeInfo& Type, R (C::*Getter)() const,
                           void (C::*Setter)(P)) {
    using V = std::remove_cvref_t<P>;
    std::string PropertyName = Name;
    return TPropertyInfo{std::move(Name), &Type,
                         [Getter](TObject& Instance) -> TPropertyValue {
                             return typeinfo_detail::ToValue<V>(
                                 (dynamic_cast<C&>(Instance).*Getter)());
                         },
                         [Setter, PropertyName](TObject& Instance, const TPropertyValue& Value) {
                             (dynamic_cast<C&>(Instance).*
                              Setter)(typeinfo_detail::FromValue<V>(Value, PropertyName));
                         },
                         std::nullopt};
}

// An owned sub-object (a font, a title, a list of strings) whose own properties are streamed.
template <class C, class R>
TPropertyInfo MakeSubObjectProperty(std::string Name, const TTypeInfo& Type,
                                    R* (C::*Getter)() const) {
    return TPropertyInfo{std::move(Name),
                         &Type,
                         [Getter](TObject& Instance) -> TPropertyValue {
                             return static_cast<TObject*>((dynamic_cast<C&>(Instance).*Getter)());
                         },
                         {},
                         std::nullopt};
}

// An event: listed by the designer, never streamed (a handler has no name).
template <class C, class F>
TPropertyInfo MakeEventProperty(std::string Name, const TTypeInfo& Type, F C::*) {
    return TPropertyInfo{std::move(Name),
                         &Type,
                         [](TObject&) -> TPropertyValue { return std::monostate{}; },
                         {},
                         std::nullopt};
}

// The property, left out of form files while it holds Default.
template <typename V>
TPropertyInfo WithStreamDefault(TPropertyInfo Property, const V& Default) {
    Property.StreamDefault = typeinfo_detail::ToValue<V>(Default);
    return Property;
}

} // namespace vorn
