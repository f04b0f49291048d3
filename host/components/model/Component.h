#pragma once

#include "host/components/model/Set.h"
#include "host/components/model/TypeInfo.h"

#include <string>
#include <vector>

namespace vorn {

class TAliveGuard;
class TComponent;

// Run-time class information: the name, the base class, how to create an instance
// (components only) and the published properties a class adds to its base's.
class TClass {
public:
    using TFactory = TComponent* (*)(TComponent* Owner);

    TClass(std::string Name, const TClass* Parent, TFactory Factory = nullptr);

    const std::string& Name() const { return FName; }
    const TClass* Parent() const { return FParent; }
    bool InheritsFrom(const TClass& Other) const;

    // Whether instances can be created by name (form files, the designer's palette).
    bool CanCreate() const { return FFactory != nullptr; }
    // Creates an instance owned by Owner; raises for a class that cannot be created.
    TComponent* CreateInstance(TComponent* Owner) const;

    // Adds a published property; properties keep the order in which they are added.
    TClass& AddProperty(TPropertyInfo Property);
    // The published properties of this class alone.
    const std::vector<TPropertyInfo>& OwnProperties() const { return FProperties; }
    // All published properties: the base classes' first, then each class's own in order.
    std::vector<const TPropertyInfo*> Properties() const;
    // The published property with this exact name, or nullptr.
    const TPropertyInfo* FindProperty(const std::string& Name) const;

private:
    std::string FName;
    const TClass* FParent;
    TFactory FFactory;
    std::vector<TPropertyInfo> FProperties;
};

// Factory for TClass: creates a component of class C owned by Owner.
template <class C>
TComponent* CreateComponentOf(TComponent* Owner) {
    return new C(Owner);
}

// Root of every class that carries run-time class information. Every class that
// publishes properties or is created by name declares its own StaticClass() and
// overrides ClassType().
class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    static const TClass& StaticClass();
    virtual const TClass& ClassType() const { return StaticClass(); }
    const std::string& ClassName() const { return ClassType().Name(); }
    bool InheritsFrom(const TClass& Class) const { return ClassType().InheritsFrom(Class); }
};

// An object that can copy another of a compatible kind.
class TPersistent : public TObject {
public:
    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    // Copies Source; the base raises an EConvertError naming both classes.
    virtual void Assign(const TPersistent* Source);
};

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag { csLoading, csDesigning, csDestroying };
using TComponentState = TSet<TComponentStateFlag>;

// A component: owned by another component (or by nobody), freeing the components
// it owns, named uniquely among its owner's components, and told when a
// component of the same owner is inserted or removed.
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    TComponent* Owner() const { return FOwner; }

    const std::string& Name() const { return FName; }
    // Raises EComponentError for a name that is not an identifier or that another
    // component of the same owner already has (letter case ignored).
    void SetName(const std::string& NewName);

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    // The owned component at Index in creation order; raises EListError outside the list.
    TComponent* Components(int Index) const;
    // The owned component with this name (letter case ignored), or nullptr.
    TComponent* FindComponent(const std::string& AName) const;

    TComponentState ComponentState() const { return FComponentState; }
    // A sub-component is one that its owner creates and manages itself (a grid's in-cell
    // editor): form files neither write nor read it, since the owner makes it anew.
    bool IsSubComponent() const { return FSubComponent; }
    void SetSubComponent(bool Value) { FSubComponent = Value; }

    // Puts this component and everything it owns into (or out of) the designing state.
    void SetDesigning(bool Value);
    // Puts this component and everything it owns into the loading state; Loaded ends it.
    void SetLoading();
    // Called after all properties of a form were read; the base ends the loading state.
    virtual void Loaded();
    // Marks this component and everything it owns as being destroyed. Destructors of
    // descendants that react to their own destruction call it first.
    void Destroying();

    // Told about AComponent being inserted into or removed from this component's owner.
    // The base passes the notice on to every component this one owns. A component that
    // is being freed sends its removal notice from the base destructor, when its derived
    // parts are already gone: receivers recognise it by address, never by its type.
    virtual void Notification(TComponent* AComponent, TOperation Operation);

    // Moves AComponent under this owner (it leaves its former owner first). A component
    // inserted into a component that is being designed is designed too.
    void InsertComponent(TComponent* AComponent);
    // Takes AComponent out of this owner without freeing it.
    void RemoveComponent(TComponent* AComponent);

private:
    friend class TAliveGuard;

    void ValidateName(const std::string& NewName) const;
    void DestroyComponents();

    TComponent* FOwner = nullptr;
    std::string FName;
    std::vector<TComponent*> FComponents;
    TComponentState FComponentState;
    bool FSubComponent = false;
    // The guards watching this component (AliveGuard.h); told when it is freed.
    mutable TAliveGuard* FAliveGuards = nullptr;
};

} // namespace vorn
