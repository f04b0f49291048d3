#include "host/designer/PropertyEditor.h"

#include "host/components/graphics/Graphics.h"
#include "host/components/text/AsciiText.h"
#include "host/designer/ColorProperty.h"
#include "host/designer/PropertyEditorRegistry.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace vorn {

namespace {

std::int64_t IntegerOf(const TPropertyValue& Value) {
    return std::holds_alternative<std::int64_t>(Value) ? std::get<std::int64_t>(Value) : 0;
}

// Booleans are edited as the enumeration False, True.
const std::vector<std::string>& BooleanNames() {
    static const std::vector<std::string> Names{"False", "True"};
    return Names;
}

// The index of Name among Names, letter case ignored, or -1.
int IndexOfName(const std::vector<std::string>& Names, const std::string& Name) {
    for (std::size_t Index = 0; Index < Names.size(); ++Index)
        if (SameTextAscii(Names[Index], Name))
            return static_cast<int>(Index);
    return -1;
}

void CollectComponents(TComponent& Owner, const TClass* Class, std::vector<TComponent*>& Found) {
    for (int Index = 0; Index < Owner.ComponentCount(); ++Index) {
        TComponent* Component = Owner.Components(Index);
        if (Class == nullptr || Component->InheritsFrom(*Class))
            Found.push_back(Component);
        CollectComponents(*Component, Class, Found);
    }
}

} // namespace

// ---------------------------------------------------------------- TPropertyEditor

TPropertyEditor::TPropertyEditor(TPropertyEditorTarget Target) : FTarget(std::move(Target)) {
    if (FTarget.Property == nullptr || FTarget.Instances.empty() ||
        (!FTarget.InstanceProperties.empty() &&
         FTarget.InstanceProperties.size() != FTarget.Instances.size()))
        throw EPropertyError("TPropertyEditor() A property editor needs a property and at "
                             "least one instance");
}

const TClass& TPropertyEditor::StaticClass() {
    static const TClass Class("TPropertyEditor", &TObject::StaticClass());
    return Class;
}

void TPropertyEditor::Activate() {}

bool TPropertyEditor::AllEqual() {
    const TPropertyValue First = GetPropValueAt(0);
    for (int Index = 1; Index < PropCount(); ++Index)
        if (GetPropValueAt(Index) != First)
            return false;
    return true;
}

bool TPropertyEditor::AutoFill() {
    return true;
}

void TPropertyEditor::Edit() {
    if (!GetAttributes().Contains(paValueList))
        return;
    const std::vector<std::string> Values = ValueList();
    if (Values.empty())
        return;
    const auto Current = std::find(Values.begin(), Values.end(), GetValue());
    const bool WrapAround = Current == Values.end() || std::next(Current) == Values.end();
    SetValue(WrapAround ? Values.front() : *std::next(Current));
}

TPropertyAttributes TPropertyEditor::GetAttributes() {
    return {paMultiSelect, paRevertable};
}

int TPropertyEditor::GetEditLimit() {
    return 255;
}

std::string TPropertyEditor::GetName() {
    return Property().Name;
}

void TPropertyEditor::GetProperties(const TGetPropProc&) {}

std::string TPropertyEditor::GetValue() {
    return {};
}

void TPropertyEditor::GetValues(const TGetStrProc&) {}

void TPropertyEditor::Initialize() {}

void TPropertyEditor::SetValue(const std::string& Value) {
    InvalidValue(Value, "the property cannot be typed");
}

TObject* TPropertyEditor::GetComponent(int Index) const {
    if (Index < 0 || Index >= PropCount())
        throw EListError("TPropertyEditor.GetComponent() Index " + std::to_string(Index) +
                         " out of bounds");
    return FTarget.Instances[static_cast<std::size_t>(Index)];
}

std::vector<std::string> TPropertyEditor::ValueList() {
    std::vector<std::string> Values;
    GetValues([&](const std::string& Value) { Values.push_back(Value); });
    return Values;
}

void TPropertyEditor::KeepModuleInUse(const std::string& Module) {
    FModuleUse = std::make_unique<TModuleUse>(Module);
}

// Each instance is read and written through its own class's accessors, which expect an
// instance of that class.
const TPropertyInfo& TPropertyEditor::PropertyOf(std::size_t Index) const {
    return FTarget.InstanceProperties.empty() ? Property() : *FTarget.InstanceProperties[Index];
}

TPropertyValue TPropertyEditor::GetPropValueAt(int Index) const {
    return PropertyOf(static_cast<std::size_t>(Index)).Get(*GetComponent(Index));
}

void TPropertyEditor::SetPropValue(const TPropertyValue& Value) {
    const std::size_t Count = FTarget.Instances.size();
    for (std::size_t Index = 0; Index < Count; ++Index)
        if (!PropertyOf(Index).Set)
            throw EPropertyError("Property " + Property().Name + " is read-only");
    std::vector<TPropertyValue> Former;
    for (std::size_t Index = 0; Index < Count; ++Index)
        Former.push_back(PropertyOf(Index).Get(*FTarget.Instances[Index]));
    std::size_t Changed = 0;
    try {
        for (; Changed < Count; ++Changed)
            PropertyOf(Changed).Set(*FTarget.Instances[Changed], Value);
    } catch (...) {
        for (std::size_t Index = 0; Index < Changed; ++Index) {
            try {
                PropertyOf(Index).Set(*FTarget.Instances[Index], Former[Index]);
            } catch (...) {
                // The value it had before was accepted once; nothing better can be done.
            }
        }
        throw;
    }
}

void TPropertyEditor::InvalidValue(const std::string& Value, const std::string& Reason) const {
    throw EPropertyError("Invalid value \"" + Value + "\" for property " + Property().Name + ": " +
                         Reason);
}

// ---------------------------------------------------------------- TStringProperty

const TClass& TStringProperty::StaticClass() {
    static const TClass Class("TStringProperty", &TPropertyEditor::StaticClass());
    return Class;
}

TPropertyAttributes TStringProperty::GetAttributes() {
    return {paMultiSelect, paRevertable};
}

int TStringProperty::GetEditLimit() {
    return 255;
}

std::string TStringProperty::GetValue() {
    const TPropertyValue Value = GetPropValueAt(0);
    return std::holds_alternative<std::string>(Value) ? std::get<std::string>(Value)
                                                      : std::string();
}

void TStringProperty::SetValue(const std::string& Value) {
    SetPropValue(Value);
}

// ---------------------------------------------------------------- TComponentNameProperty

const TClass& TComponentNameProperty::StaticClass() {
    static const TClass Class("TComponentNameProperty", &TStringProperty::StaticClass());
    return Class;
}

TPropertyAttributes TComponentNameProperty::GetAttributes() {
    return {paRevertable};
}

// ---------------------------------------------------------------- TIntegerProperty

const TClass& TIntegerProperty::StaticClass() {
    static const TClass Class("TIntegerProperty", &TPropertyEditor::StaticClass());
    return Class;
}

TPropertyAttributes TIntegerProperty::GetAttributes() {
    return {paMultiSelect, paRevertable};
}

std::string TIntegerProperty::GetValue() {
    return std::to_string(IntegerOf(GetPropValueAt(0)));
}

std::optional<std::int64_t> TIntegerProperty::WholeNumber(const std::string& Text) {
    const std::string Digits = TrimSpacesAndTabs(Text);
    std::int64_t Number = 0;
    const auto [End, Error] = std::from_chars(Digits.data(), Digits.data() + Digits.size(), Number);
    if (Digits.empty() || Error != std::errc() || End != Digits.data() + Digits.size())
        return std::nullopt;
    return Number;
}

void TIntegerProperty::SetValue(const std::string& Value) {
    const std::optional<std::int64_t> Number = WholeNumber(Value);
    if (!Number)
        InvalidValue(Value, "not a whole number");
    SetPropValue(*Number);
}

// ---------------------------------------------------------------- TEnumProperty

const TClass& TEnumProperty::StaticClass() {
    static const TClass Class("TEnumProperty", &TPropertyEditor::StaticClass());
    return Class;
}

TPropertyAttributes TEnumProperty::GetAttributes() {
    return {paMultiSelect, paValueList, paSortList, paRevertable};
}

std::vector<std::string> TEnumProperty::MemberNames() const {
    return Property().Type->Kind == tkBoolean ? BooleanNames() : Property().Type->ElementNames;
}

std::string TEnumProperty::GetValue() {
    const TPropertyValue Value = GetPropValueAt(0);
    if (std::holds_alternative<bool>(Value))
        return BooleanNames()[std::get<bool>(Value) ? 1 : 0];
    const std::vector<std::string> Names = MemberNames();
    const std::int64_t Ordinal = IntegerOf(Value);
    if (Ordinal < 0 || Ordinal >= static_cast<std::int64_t>(Names.size()))
        return std::to_string(Ordinal);
    return Names[static_cast<std::size_t>(Ordinal)];
}

void TEnumProperty::GetValues(const TGetStrProc& Proc) {
    for (const std::string& Name : MemberNames())
        Proc(Name);
}

void TEnumProperty::SetValue(const std::string& Value) {
    const int Ordinal = IndexOfName(MemberNames(), TrimSpacesAndTabs(Value));
    if (Ordinal < 0)
        InvalidValue(Value, "not a member of " + Property().Type->Name);
    if (Property().Type->Kind == tkBoolean)
        SetPropValue(Ordinal == 1);
    else
        SetPropValue(static_cast<std::int64_t>(Ordinal));
}

// ---------------------------------------------------------------- TSetProperty

const TClass& TSetProperty::StaticClass() {
    static const TClass Class("TSetProperty", &TPropertyEditor::StaticClass());
    return Class;
}

TPropertyAttributes TSetProperty::GetAttributes() {
    return {paMultiSelect, paRevertable};
}

std::string TSetProperty::GetValue() {
    const auto Bits = static_cast<std::uint64_t>(IntegerOf(GetPropValueAt(0)));
    const std::vector<std::string>& Names = Property().Type->ElementNames;
    std::string Text;
    for (std::size_t Member = 0; Member < Names.size() && Member < 64; ++Member) {
        if ((Bits >> Member & 1) == 0)
            continue;
        Text += (Text.empty() ? "" : ",") + Names[Member];
    }
    return "[" + Text + "]";
}

void TSetProperty::SetValue(const std::string& Value) {
    std::string Text = TrimSpacesAndTabs(Value);
    if (Text.size() >= 2 && Text.front() == '[' && Text.back() == ']')
        Text = Text.substr(1, Text.size() - 2);
    std::uint64_t Bits = 0;
    std::size_t Start = 0;
    while (!TrimSpacesAndTabs(Text).empty() && Start <= Text.size()) {
        const std::size_t Comma = std::min(Text.find(',', Start), Text.size());
        const std::string Name = TrimSpacesAndTabs(Text.substr(Start, Comma - Start));
        const int Member = IndexOfName(Property().Type->ElementNames, Name);
        if (Member < 0)
            InvalidValue(Value, "\"" + Name + "\" is not a member of " + Property().Type->Name);
        Bits |= std::uint64_t{1} << Member;
        Start = Comma + 1;
    }
    SetPropValue(static_cast<std::int64_t>(Bits));
}

// ---------------------------------------------------------------- TComponentProperty

const TClass& TComponentProperty::StaticClass() {
    static const TClass Class("TComponentProperty", &TPropertyEditor::StaticClass());
    return Class;
}

TPropertyAttributes TComponentProperty::GetAttributes() {
    return {paMultiSelect, paValueList, paSortList, paRevertable};
}

std::vector<TComponent*> TComponentProperty::Candidates() const {
    std::vector<TComponent*> Found;
    if (Root() != nullptr)
        CollectComponents(*Root(), Property().Type->ClassType, Found);
    return Found;
}

std::string TComponentProperty::GetValue() {
    const TPropertyValue Value = GetPropValueAt(0);
    const auto* Component = std::holds_alternative<TObject*>(Value)
                                ? dynamic_cast<const TComponent*>(std::get<TObject*>(Value))
                                : nullptr;
    return Component != nullptr ? Component->Name() : std::string();
}

void TComponentProperty::GetValues(const TGetStrProc& Proc) {
    for (TComponent* Component : Candidates())
        if (!Component->Name().empty())
            Proc(Component->Name());
}

void TComponentProperty::SetValue(const std::string& Value) {
    const std::string Name = TrimSpacesAndTabs(Value);
    if (Name.empty()) {
        SetPropValue(static_cast<TObject*>(nullptr));
        return;
    }
    for (TComponent* Component : Candidates())
        if (SameTextAscii(Component->Name(), Name)) {
            SetPropValue(static_cast<TObject*>(Component));
            return;
        }
    InvalidValue(Value, "the form has no such " + Property().Type->Name);
}

// ---------------------------------------------------------------- TClassProperty

const TClass& TClassProperty::StaticClass() {
    static const TClass Class("TClassProperty", &TPropertyEditor::StaticClass());
    return Class;
}

TPropertyAttributes TClassProperty::GetAttributes() {
    return {paMultiSelect, paSubProperties, paReadOnly};
}

void TClassProperty::GetProperties(const TGetPropProc& Proc) {
    std::vector<TObject*> SubObjects;
    for (int Index = 0; Index < PropCount(); ++Index) {
        const TPropertyValue Value = GetPropValueAt(Index);
        TObject* SubObject =
            std::holds_alternative<TObject*>(Value) ? std::get<TObject*>(Value) : nullptr;
        if (SubObject == nullptr)
            return;
        SubObjects.push_back(SubObject);
    }
    for (const TPropertyInfo* SubProperty : SubObjects.front()->ClassType().Properties()) {
        TPropertyEditorTarget Target{SubObjects, SubProperty, Root()};
        Proc(EditorClassFor(*SubProperty, SubObjects.front()->ClassType())(Target));
    }
}

std::string TClassProperty::GetValue() {
    return "(" + Property().Type->Name + ")";
}

// ---------------------------------------------------------------- TMethodProperty

const TClass& TMethodProperty::StaticClass() {
    static const TClass Class("TMethodProperty", &TPropertyEditor::StaticClass());
    return Class;
}

TPropertyAttributes TMethodProperty::GetAttributes() {
    return {paMultiSelect, paReadOnly};
}

// ---------------------------------------------------------------- defaults

TPropertyEditorClass DefaultPropertyEditorClass(const TTypeInfo& Type) {
    if (&Type == &ColorTypeInfo())
        return &CreatePropertyEditorOf<TColorProperty>;
    switch (Type.Kind) {
    case tkInteger:
        return &CreatePropertyEditorOf<TIntegerProperty>;
    case tkBoolean:
    case tkEnumeration:
        return &CreatePropertyEditorOf<TEnumProperty>;
    case tkSet:
        return &CreatePropertyEditorOf<TSetProperty>;
    case tkString:
        return &CreatePropertyEditorOf<TStringProperty>;
    case tkComponent:
        return &CreatePropertyEditorOf<TComponentProperty>;
    case tkObject:
        return &CreatePropertyEditorOf<TClassProperty>;
    case tkMethod:
        return &CreatePropertyEditorOf<TMethodProperty>;
    }
    return &CreatePropertyEditorOf<TPropertyEditor>;
}

TPropertyEditorClass DefaultPropertyEditorClass(const TPropertyInfo& Property,
                                                const TClass& ComponentClass) {
    const bool ComponentName = Property.Name == "Name" && Property.Type->Kind == tkString &&
                               ComponentClass.InheritsFrom(TComponent::StaticClass());
    return ComponentName ? &CreatePropertyEditorOf<TComponentNameProperty>
                         : DefaultPropertyEditorClass(*Property.Type);
}

} // namespace vorn
