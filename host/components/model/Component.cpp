#include "host/components/model/Component.h"

#include "host/components/model/AliveGuard.h"
#include "host/components/model/ClassRegistry.h"
#include "host/components/model/Exception.h"
#include "host/components/model/ModuleUse.h"
#include "host/components/text/AsciiText.h"

#include <algorithm>
#include <cctype>

namespace vorn {

namespace {

bool IsIdentifier(const std::string& Text) {
    auto IsStart = [](unsigned char C) { return std::isalpha(C) || C == '_'; };
    auto IsPart = [](unsigned char C) { return std::isalnum(C) || C == '_'; };
    if (Text.empty() || !IsStart(static_cast<unsigned char>(Text.front())))
        return false;
    return std::all_of(Text.begin() + 1, Text.end(),
                       [&](char C) { return IsPart(static_cast<unsigned char>(C)); });
}

} // namespace

// ---------------------------------------------------------------- TClass

TClass::TClass(std::string Name, const TClass* Parent, TFactory Factory)
    : FName(std::move(Name)), FParent(Parent), FFactory(Factory) {}

bool TClass::InheritsFrom(const TClass& Other) const {
    for (const TClass* Class = this; Class != nullptr; Class = Class->FParent)
        if (Class == &Other)
            return true;
    return false;
}

TComponent* TClass::CreateInstance(TComponent* Owner) const {
    if (FFactory == nullptr)
        throw EComponentError("Cannot create an instance of the class " + FName);
    TComponent* Instance = FFactory(Owner);
    // A package's class runs the package's code: the package stays while this lives.
    TrackModuleInstance(RegisteringModule(*this), *Instance);
    return Instance;
}

TClass& TClass::AddProperty(TPropertyInfo Property) {
    FProperties.push_back(std::move(Property));
    return *this;
}

std::vector<const TPropertyInfo*> TClass::Properties() const {
    std::vector<const TPropertyInfo*> Result =
        FParent != nullptr ? FParent->Properties() : std::vector<const TPropertyInfo*>{};
    for (const TPropertyInfo& Property : FProperties)
        Result.push_back(&Property);
    return Result;
}

const TPropertyInfo* TClass::FindProperty(const std::string& Name) const {
    for (const TClass* Class = this; Class != nullptr; Class = Class->FParent)
        for (const TPropertyInfo& Property : Class->FProperties)
            if (Property.Name == Name)
                return &Property;
    return nullptr;
}

// ---------------------------------------------------------------- TObject, TPersistent

const TClass& TObject::StaticClass() {
    static const TClass Class("TObject", nullptr);
    return Class;
}

const TClass& TPersistent::StaticClass() {
    static const TClass Class("TPersistent", &TObject::StaticClass());
    return Class;
}

void TPersistent::Assign(const TPersistent* Source) {
    const std::string SourceName = Source != nullptr ? Source->ClassName() : std::string("nil");
    throw EConvertError("Cannot assign a " + SourceName + " to a " + ClassName());
}

// ---------------------------------------------------------------- TComponent

const TClass& TComponent::StaticClass() {
    static const TClass Class = [] {
        TClass C("TComponent", &TPersistent::StaticClass());
        C.AddProperty(
            MakeProperty("Name", StringTypeInfo(), &TComponent::Name, &TComponent::SetName));
        return C;
    }();
    return Class;
}

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner != nullptr)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    DestroyComponents();
    if (FOwner != nullptr)
        FOwner->RemoveComponent(this);
    TAliveGuard::ComponentGone(FAliveGuards);
}

void TComponent::SetName(const std::string& NewName) {
    if (NewName == FName)
        return;
    ValidateName(NewName);
    FName = NewName;
}

void TComponent::ValidateName(const std::string& NewName) const {
    if (!NewName.empty() && !IsIdentifier(NewName))
        throw EComponentError("'" + NewName + "' is not a valid component name");
    if (NewName.empty() || FOwner == nullptr)
        return;
    TComponent* Existing = FOwner->FindComponent(NewName);
    if (Existing != nullptr && Existing != this)
        throw EComponentError("A component named " + NewName + " already exists");
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FComponents[static_cast<std::size_t>(Index)];
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
    if (AName.empty())
        return nullptr;
    for (TComponent* Component : FComponents)
        if (SameTextAscii(Component->FName, AName))
            return Component;
    return nullptr;
}

void TComponent::SetDesigning(bool Value) {
    if (Value)
        FComponentState.Include(csDesigning);
    else
        FComponentState.Exclude(csDesigning);
    for (TComponent* Component : FComponents)
        Component->SetDesigning(Value);
}

void TComponent::SetLoading() {
    FComponentState.Include(csLoading);
    for (TComponent* Component : FComponents)
        Component->SetLoading();
}

void TComponent::Loaded() {
    FComponentState.Exclude(csLoading);
}

void TComponent::Destroying() {
    if (FComponentState.Contains(csDestroying))
        return;
    FComponentState.Include(csDestroying);
    for (TComponent* Component : FComponents)
        Component->Destroying();
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    // Walk downwards by index: a component may leave the list while it is told.
    for (std::size_t Index = FComponents.size(); Index-- > 0;) {
        if (Index < FComponents.size())
            FComponents[Index]->Notification(AComponent, Operation);
    }
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (!AComponent->FName.empty() && FindComponent(AComponent->FName) != nullptr)
        throw EComponentError("A component named " + AComponent->FName + " already exists");
    if (AComponent->FOwner != nullptr)
        AComponent->FOwner->RemoveComponent(AComponent);
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
    if (FComponentState.Contains(csDesigning))
        AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    auto Position = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (Position == FComponents.end())
        return;
    Notification(AComponent, opRemove);
    Position = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (Position != FComponents.end())
        FComponents.erase(Position);
    AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    // The last created goes first, so that a component outlives those created after it.
    while (!FComponents.empty()) {
        TComponent* Component = FComponents.back();
        Component->Destroying();
        delete Component; // its destructor removes it from this list
    }
}

} // namespace vorn
