#pragma once

// Property editors: the objects through which a form designer shows and changes one
// published property of the selected components. An editor is created for one edit and
// freed after it; it holds no state beyond what it edits.

#include "host/components/model/Component.h"
#include "host/components/model/Exception.h"
#include "host/components/model/ModuleUse.h"
#include "host/components/model/Set.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

// A property value that an editor refuses, or a property that cannot be edited so.
class EPropertyError : public Exception {
public:
    using Exception::Exception;
};

// What an editor offers. The bit numbers are part of the designer's interface: a string
// editor with a drop-down list answers paValueList, paMultiSelect and paRevertable (137).
enum TPropertyAttribute {
    paValueList,     // a drop-down list of values (GetValues)
    paSubProperties, // nested properties (GetProperties)
    paDialog,        // Edit opens a dialog
    paMultiSelect,   // may edit the property of several selected components at once
    paAutoUpdate,    // every change of the text is applied at once
    paSortList,      // the value list is shown sorted
    paReadOnly,      // the value cannot be typed
    paRevertable     // can be reverted to the inherited value
};
using TPropertyAttributes = TSet<TPropertyAttribute>;

class TPropertyEditor;
using TGetStrProc = std::function<void(const std::string& Value)>;
using TGetPropProc = std::function<void(std::unique_ptr<TPropertyEditor> Editor)>;

// The property an editor works on: the same published property of every selected
// instance, and the root of the form (whose components a reference may name).
struct TPropertyEditorTarget {
    std::vector<TObject*> Instances;
    const TPropertyInfo* Property = nullptr;
    TComponent* Root = nullptr;
    // The property of each instance, parallel to Instances, when the selected classes
    // publish it each on their own (with the same type); empty when Property serves all.
    std::vector<const TPropertyInfo*> InstanceProperties = {};
};

// The base editor. The designer calls Initialize after creating it, then the other
// operations; SetValue changes every selected instance or, when one refuses the value,
// none of them.
class TPropertyEditor : public TObject {
public:
    explicit TPropertyEditor(TPropertyEditorTarget Target);

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    virtual void Activate();
    // Whether every selected instance has the same value.
    virtual bool AllEqual();
    virtual bool AutoFill();
    // Without a dialog: steps to the next value of the value list, after the last to the first.
    virtual void Edit();
    virtual TPropertyAttributes GetAttributes();
    virtual int GetEditLimit();
    virtual std::string GetName();
    virtual void GetProperties(const TGetPropProc& Proc);
    // The value of the first selected instance as text.
    virtual std::string GetValue();
    virtual void GetValues(const TGetStrProc& Proc);
    virtual void Initialize();
    // The base refuses every value: a property without an editor of its kind is read-only.
    virtual void SetValue(const std::string& Value);

    int PropCount() const { return static_cast<int>(FTarget.Instances.size()); }
    TObject* GetComponent(int Index) const;
    const TPropertyInfo& Property() const { return *FTarget.Property; }
    TComponent* Root() const { return FTarget.Root; }
    // The value list collected from GetValues.
    std::vector<std::string> ValueList();
    // Counts this editor as a use of Module, whose code it runs, for as long as it lives.
    void KeepModuleInUse(const std::string& Module);

protected:
    TPropertyValue GetPropValueAt(int Index) const;
    // Sets Value on every instance; when one raises, the instances already changed get
    // their former values back and the error propagates.
    void SetPropValue(const TPropertyValue& Value);
    [[noreturn]] void InvalidValue(const std::string& Value, const std::string& Reason) const;

private:
    const TPropertyInfo& PropertyOf(std::size_t Index) const;

    TPropertyEditorTarget FTarget;
    std::unique_ptr<TModuleUse> FModuleUse;
};

// Creates an editor of class E; the factory a designer keeps for an editor class.
using TPropertyEditorClass = std::unique_ptr<TPropertyEditor> (*)(const TPropertyEditorTarget&);
template <class E>
std::unique_ptr<TPropertyEditor> CreatePropertyEditorOf(const TPropertyEditorTarget& Target) {
    return std::make_unique<E>(Target);
}

// Text, stored unchanged.
class TStringProperty : public TPropertyEditor {
public:
    using TPropertyEditor::TPropertyEditor;
    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    TPropertyAttributes GetAttributes() override;
    int GetEditLimit() override;
    std::string GetValue() override;
    void SetValue(const std::string& Value) override;
};

// A component's name: text like any string, but never given to several components at once.
class TComponentNameProperty : public TStringProperty {
public:
    using TStringProperty::TStringProperty;
    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    TPropertyAttributes GetAttributes() override;
};

// A whole number in decimal.
class TIntegerProperty : public TPropertyEditor {
public:
    using TPropertyEditor::TPropertyEditor;
    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    TPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
    void SetValue(const std::string& Value) override;

protected:
    // The whole decimal number Text holds (blanks around allowed), or nothing.
    static std::optional<std::int64_t> WholeNumber(const std::string& Text);
};

// An enumeration member by name; booleans are the enumeration False, True.
class TEnumProperty : public TPropertyEditor {
public:
    using TPropertyEditor::TPropertyEditor;
    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    TPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
    void GetValues(const TGetStrProc& Proc) override;
    void SetValue(const std::string& Value) override;

private:
    std::vector<std::string> MemberNames() const;
};

// A set as "[member,member]"; the brackets may be left out when typing.
class TSetProperty : public TPropertyEditor {
public:
    using TPropertyEditor::TPropertyEditor;
    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    TPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
    void SetValue(const std::string& Value) override;
};

// A reference to a component of the form, by name; the empty text is no component.
class TComponentProperty : public TPropertyEditor {
public:
    using TPropertyEditor::TPropertyEditor;
    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    TPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
    void GetValues(const TGetStrProc& Proc) override;
    void SetValue(const std::string& Value) override;

private:
    std::vector<TComponent*> Candidates() const;
};

// An owned sub-object, edited through its own properties.
class TClassProperty : public TPropertyEditor {
public:
    using TPropertyEditor::TPropertyEditor;
    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    TPropertyAttributes GetAttributes() override;
    void GetProperties(const TGetPropProc& Proc) override;
    std::string GetValue() override;
};

// An event; handlers have no name here, so it is shown and never typed.
class TMethodProperty : public TPropertyEditor {
public:
    using TPropertyEditor::TPropertyEditor;
    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    TPropertyAttributes GetAttributes() override;
};

// The editor class a property of this kind gets when no registration applies.
TPropertyEditorClass DefaultPropertyEditorClass(const TTypeInfo& Type);
// The same for Property of ComponentClass: a component's Name gets TComponentNameProperty.
TPropertyEditorClass DefaultPropertyEditorClass(const TPropertyInfo& Property,
                                                const TClass& ComponentClass);

} // namespace vorn
