#include "host/designer/FormDesigner.h"

#include "host/components/controls/Control.h"
#include "host/components/forms/FormFile.h"
#include "host/components/model/ClassRegistry.h"
#include "host/designer/DesignerClasses.h"
#include "host/designer/PropertyEditorRegistry.h"

#include <functional>

namespace vorn {

namespace {

TComponent* FindInTree(TComponent& Owner, const std::string& Name) {
    if (TComponent* Found = Owner.FindComponent(Name))
        return Found;
    for (int Index = 0; Index < Owner.ComponentCount(); ++Index)
        if (TComponent* Found = FindInTree(*Owner.Components(Index), Name))
            return Found;
    return nullptr;
}

const TClass& CreatableComponentClass(const std::string& ClassName) {
    const TClass& Class = FindClass(ClassName);
    if (!Class.InheritsFrom(TComponent::StaticClass()) || !Class.CanCreate())
        throw EComponentError("Class " + Class.Name() + " is not a component that can be created");
    return Class;
}

} // namespace

TFormDesigner::TFormDesigner() : FDesignRoot(std::make_unique<TComponent>(nullptr)) {
    RegisterDesignerHostClasses();
    FDesignRoot->SetDesigning(true);
}

TFormDesigner::~TFormDesigner() {
    CloseForm();
}

TComponent& TFormDesigner::NewForm(const std::string& Name, const std::string& ClassName) {
    const TClass& Class = CreatableComponentClass(ClassName);
    CloseForm();
    std::unique_ptr<TComponent> Form(Class.CreateInstance(nullptr));
    Form->SetDesigning(true);
    Form->SetName(Name);
    FDesignRoot->InsertComponent(Form.get());
    FForm = Form.release();
    return *FForm;
}

TComponent& TFormDesigner::OpenForm(const std::filesystem::path& FileName) {
    // Read beside the open form under a scratch owner, so that a failure leaves it alone
    // and a form of the same name can replace it.
    auto Scratch = std::make_unique<TComponent>(nullptr);
    Scratch->SetDesigning(true);
    TComponent& Read = ReadFormFile(FileName, *Scratch);
    CloseForm();
    FDesignRoot->InsertComponent(&Read);
    FForm = &Read;
    return *FForm;
}

void TFormDesigner::SaveForm(const std::filesystem::path& FileName) const {
    WriteFormFile(Form(), FileName);
}

void TFormDesigner::CloseForm() {
    delete std::exchange(FForm, nullptr);
}

TComponent& TFormDesigner::Form() const {
    if (FForm == nullptr)
        throw EComponentError("No form is open");
    return *FForm;
}

TComponent& TFormDesigner::AddComponent(const std::string& ClassName, const std::string& Name,
                                        const std::string& ParentName) {
    const TClass& Class = CreatableComponentClass(ClassName);
    TComponent& Owner = Form();
    const std::string ComponentName = Name.empty() ? FreeName(Class.Name()) : Name;
    if (FindInTree(Owner, ComponentName) != nullptr || Owner.Name() == ComponentName)
        throw EComponentError("A component named " + ComponentName + " already exists");
    const bool IsControl = Class.InheritsFrom(TControl::StaticClass());
    if (!ParentName.empty() && !IsControl)
        throw EComponentError("A " + Class.Name() + " is no control and has no parent");
    TWinControl* Parent = nullptr;
    if (!ParentName.empty())
        Parent = &ParentControl(ParentName);
    else if (IsControl)
        Parent = dynamic_cast<TWinControl*>(&Owner);
    // Made under the designed form, so that it is designed from its constructor on: a
    // component leaves out what only runs in an application (a filter grid its editors
    // and query), as it does when a form file is read into the designer.
    std::unique_ptr<TComponent> Component(Class.CreateInstance(&Owner));
    Component->SetName(ComponentName);
    if (auto* Control = dynamic_cast<TControl*>(Component.get()); Control && Parent)
        Control->SetParent(Parent);
    return *Component.release();
}

TComponent& TFormDesigner::FindFormComponent(const std::string& Name) const {
    TComponent& Owner = Form();
    if (Owner.Name() == Name)
        return Owner;
    TComponent* Found = FindInTree(Owner, Name);
    if (Found == nullptr)
        throw EComponentError("Form " + Owner.Name() + " has no component named " + Name);
    return *Found;
}

std::unique_ptr<TPropertyEditor>
TFormDesigner::EditProperty(const std::vector<std::string>& ComponentNames,
                            const std::string& PropertyName) const {
    std::vector<TComponent*> Selection;
    for (const std::string& Name : ComponentNames)
        Selection.push_back(&FindFormComponent(Name));
    return CreatePropertyEditor(Selection, PropertyName, &Form());
}

void TFormDesigner::SetProperty(const std::vector<std::string>& ComponentNames,
                                const std::string& PropertyName, const std::string& Value) const {
    if (PropertyName == "Parent")
        SetParent(ComponentNames, Value);
    else
        EditProperty(ComponentNames, PropertyName)->SetValue(Value);
}

void TFormDesigner::SetParent(const std::vector<std::string>& ComponentNames,
                              const std::string& ParentName) const {
    TWinControl& Parent = ParentControl(ParentName);
    std::vector<TControl*> Controls;
    for (const std::string& Name : ComponentNames) {
        auto* Control = dynamic_cast<TControl*>(&FindFormComponent(Name));
        if (Control == nullptr)
            throw EComponentError("Component " + Name + " is no control and has no parent");
        for (const TControl* Holder = &Parent; Holder != nullptr; Holder = Holder->Parent())
            if (Holder == Control)
                throw EComponentError("Control " + Name + " cannot be placed on " + ParentName +
                                      ", which it holds itself");
        Controls.push_back(Control);
    }
    for (TControl* Control : Controls)
        Control->SetParent(&Parent);
}

std::string TFormDesigner::ParentName(const TComponent& Component) {
    const auto* Control = dynamic_cast<const TControl*>(&Component);
    return Control != nullptr && Control->Parent() != nullptr ? Control->Parent()->Name() : "";
}

TWinControl& TFormDesigner::ParentControl(const std::string& ParentName) const {
    auto* Parent = dynamic_cast<TWinControl*>(&FindFormComponent(ParentName));
    if (Parent == nullptr)
        throw EComponentError("Component " + ParentName +
                              " is no windowed control and cannot "
                              "hold controls");
    return *Parent;
}

std::string TFormDesigner::FreeName(const std::string& ClassName) const {
    const std::string Base =
        ClassName.size() > 1 && ClassName.front() == 'T' ? ClassName.substr(1) : ClassName;
    for (int Number = 1;; ++Number) {
        const std::string Candidate = Base + std::to_string(Number);
        if (FindInTree(Form(), Candidate) == nullptr && Form().Name() != Candidate)
            return Candidate;
    }
}

} // namespace vorn
