#include "host/designer/PropertyEditorRegistry.h"

#include "host/components/model/ClassRegistry.h"
#include "host/components/text/AsciiText.h"

#include <mutex>
#include <tuple>

namespace vorn {

namespace {

struct TEditorRegistration {
    const TTypeInfo* PropertyType;
    const TClass* ComponentClass;
    std::string PropertyName;
    TPropertyEditorClass EditorClass;
    std::string Module;
};

struct TEditorRegistry {
    std::mutex Lock;
    std::vector<TEditorRegistration> Registrations;
};

TEditorRegistry& Registry() {
    static TEditorRegistry Instance;
    return Instance;
}

// Type information objects are not unique across libraries (each may define its own
// "String"), so a type matches by identity, by name and kind, or, for a class type, by
// descent.
bool TypeMatches(const TTypeInfo& Registered, const TTypeInfo& Actual) {
    if (&Registered == &Actual)
        return true;
    if (Registered.Kind != Actual.Kind)
        return false;
    const bool ClassKind = Registered.Kind == tkComponent || Registered.Kind == tkObject;
    if (ClassKind && Registered.ClassType != nullptr && Actual.ClassType != nullptr)
        return Actual.ClassType->InheritsFrom(*Registered.ClassType);
    return Registered.Name == Actual.Name;
}

int ClassDepth(const TClass* Class) {
    int Depth = 0;
    for (; Class != nullptr; Class = Class->Parent())
        ++Depth;
    return Depth;
}

bool Applies(const TEditorRegistration& Registration, const TPropertyInfo& Property,
             const TClass& ComponentClass) {
    if (!TypeMatches(*Registration.PropertyType, *Property.Type))
        return false;
    if (Registration.ComponentClass != nullptr &&
        !ComponentClass.InheritsFrom(*Registration.ComponentClass))
        return false;
    return Registration.PropertyName.empty() ||
           SameTextAscii(Registration.PropertyName, Property.Name);
}

// The module that registered EditorClass: its code is that module's.
std::string EditorClassModule(const TEditorRegistry& R, TPropertyEditorClass EditorClass) {
    for (const TEditorRegistration& Entry : R.Registrations)
        if (Entry.EditorClass == EditorClass)
            return Entry.Module;
    return std::string();
}

std::string DescribeSelection(const std::vector<TComponent*>& Selection) {
    return Selection.size() == 1 ? "component " + Selection.front()->Name()
                                 : std::to_string(Selection.size()) + " components";
}

} // namespace

void RegisterPropertyEditor(const TTypeInfo& PropertyType, const TClass* ComponentClass,
                            const std::string& PropertyName, TPropertyEditorClass EditorClass) {
    if (EditorClass == nullptr)
        throw EPropertyError("RegisterPropertyEditor() EditorClass is nil");
    const std::string Module = CurrentRegistrationModule();
    TEditorRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    R.Registrations.push_back({&PropertyType, ComponentClass, PropertyName, EditorClass, Module});
}

void UnregisterModulePropertyEditors(const std::string& Module) {
    TEditorRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    std::erase_if(R.Registrations, [&](const auto& Entry) { return Entry.Module == Module; });
}

int PropertyEditorRegistrationCount() {
    TEditorRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    return static_cast<int>(R.Registrations.size());
}

TPropertyEditorClass EditorClassFor(const TPropertyInfo& Property, const TClass& ComponentClass) {
    TEditorRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    const TEditorRegistration* Best = nullptr;
    auto Rank = [](const TEditorRegistration& Entry) {
        return std::make_tuple(!Entry.PropertyName.empty(), Entry.ComponentClass != nullptr,
                               ClassDepth(Entry.ComponentClass));
    };
    for (const TEditorRegistration& Entry : R.Registrations)
        if (Applies(Entry, Property, ComponentClass) &&
            (Best == nullptr || Rank(Entry) >= Rank(*Best)))
            Best = &Entry;
    return Best != nullptr ? Best->EditorClass
                           : DefaultPropertyEditorClass(Property, ComponentClass);
}

std::unique_ptr<TPropertyEditor> CreatePropertyEditor(const std::vector<TComponent*>& Selection,
                                                      const std::string& PropertyName,
                                                      TComponent* Root) {
    if (Selection.empty())
        throw EPropertyError("CreatePropertyEditor() No component is selected");
    std::vector<const TPropertyInfo*> Properties;
    TPropertyEditorClass EditorClass = nullptr;
    for (TComponent* Component : Selection) {
        const TPropertyInfo* Property = Component->ClassType().FindProperty(PropertyName);
        if (Property == nullptr)
            throw EPropertyError("Component " + Component->Name() + " (" + Component->ClassName() +
                                 ") has no published property " + PropertyName);
        const TPropertyEditorClass Editor = EditorClassFor(*Property, Component->ClassType());
        if (Properties.empty())
            EditorClass = Editor;
        else if (!TypeMatches(*Properties.front()->Type, *Property->Type) || Editor != EditorClass)
            throw EPropertyError("Property " + PropertyName +
                                 " differs between the selected components and cannot be "
                                 "edited on all of them at once");
        Properties.push_back(Property);
    }
    std::vector<TObject*> Instances(Selection.begin(), Selection.end());
    std::unique_ptr<TPropertyEditor> Editor =
        EditorClass({Instances, Properties.front(), Root, Properties});
    {
        TEditorRegistry& R = Registry();
        std::lock_guard Guard(R.Lock);
        Editor->KeepModuleInUse(EditorClassModule(R, EditorClass));
    }
    if (Selection.size() > 1 && !Editor->GetAttributes().Contains(paMultiSelect))
        throw EPropertyError("Property " + PropertyName + " cannot be edited on " +
                             DescribeSelection(Selection) + " at once");
    Editor->Initialize();
    return Editor;
}

std::vector<std::unique_ptr<TPropertyEditor>>
GetComponentProperties(const std::vector<TComponent*>& Selection, TComponent* Root) {
    std::vector<std::unique_ptr<TPropertyEditor>> Editors;
    if (Selection.empty())
        return Editors;
    for (const TPropertyInfo* Property : Selection.front()->ClassType().Properties()) {
        try {
            Editors.push_back(CreatePropertyEditor(Selection, Property->Name, Root));
        } catch (const EPropertyError&) {
            // Not common to the whole selection: the designer does not list it.
        }
    }
    return Editors;
}

} // namespace vorn
