#include "host/components/controls/Control.h"
#include "host/components/forms/FormFile.h"
#include "host/components/forms/FormFileDetail.h"
#include "host/components/forms/FormState.h"
#include "host/components/graphics/Bitmap.h"
#include "host/components/model/ClassRegistry.h"
#include "host/components/model/StreamableCollection.h"
#include "host/components/model/Strings.h"
#include "host/components/text/AsciiText.h"
#include "host/components/text/CodePage.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

namespace vorn {

namespace {

using formfile::DescribeJsonValue;
using formfile::FailReading;
using formfile::PointerChild;
using formfile::ReadBitmapValue;
using formfile::ReadScalarValue;
using formfile::ReadStringsValue;
using formfile::TJson;

std::string Describe(const TComponent& Component) {
    return Component.ClassName() +
           (Component.Name().empty() ? std::string(" without name") : " " + Component.Name());
}

// Reading, freeing and writing walk the component tree recursively; a file may not nest
// components so deep that this could exhaust the stack.
constexpr int MaxNesting = 256;

class TFormReader {
public:
    // The new root is owned by RootOwner, or by nobody.
    TComponent& ReadNew(const TJson& Document, TComponent* RootOwner) {
        FRootOwner = RootOwner;
        Read(Document, nullptr);
        return *FRoot;
    }

    void ReadInto(TComponent& Root, const TJson& Document) {
        FIntoExisting = true;
        FRoot = &Root;
        CollectLoading(Root, FWasLoading);
        FSaved.emplace_back(&Root, formfile::CaptureState(Root));
        Read(Document, &Root);
    }

private:
    struct TPendingReference {
        TObject* Object;
        const TPropertyInfo* Property;
        std::string Name;
        std::string Pointer;
        std::string ClassProperty;
    };

    struct TPendingParent {
        TControl* Control;
        std::string Name;
        std::string Pointer;
    };

    void Read(const TJson& Document, TComponent* ExistingRoot) {
        try {
            ReadComponent(Document, nullptr, ExistingRoot, "");
            ResolveParents();
            ResolveReferences();
            CallLoaded();
        } catch (...) {
            RollBack();
            throw;
        }
    }

    static void CollectLoading(TComponent& Component, std::set<TComponent*>& Result) {
        if (Component.ComponentState().Contains(csLoading))
            Result.insert(&Component);
        for (int Index = 0; Index < Component.ComponentCount(); ++Index)
            CollectLoading(*Component.Components(Index), Result);
    }

    void ReadComponent(const TJson& Entry, TComponent* Owner, TComponent* ExistingRoot,
                       const std::string& Pointer, int Depth = 0) {
        if (Depth > MaxNesting)
            FailReading(Pointer, "",
                        "components are nested more than " + std::to_string(MaxNesting) + " deep");
        if (!Entry.is_object())
            FailReading(Pointer, "",
                        "expected a component object, found " + DescribeJsonValue(Entry));
        for (const auto& [Key, Value] : Entry.items())
            if (Key != "class" && Key != "name" && Key != "parent" && Key != "properties" &&
                Key != "components")
                FailReading(PointerChild(Pointer, Key), "", "unknown key \"" + Key + "\"");
        const std::string ClassName = RequireString(Entry, "class", Pointer, true);
        const std::string Name = Utf8ToHost(RequireString(Entry, "name", Pointer, false));

        TComponent& Component = ExistingRoot != nullptr
                                    ? AdoptRoot(*ExistingRoot, ClassName, Pointer)
                                : Depth > 0 ? ObtainOwned(*Owner, ClassName, Name, Pointer)
                                            : CreateComponent(FRootOwner, ClassName, Pointer);
        if (Depth == 0)
            FRoot = &Component;
        FRead.insert(&Component);
        ApplyName(Component, Name, Pointer);
        if (Entry.contains("parent"))
            RecordParent(Component, Depth == 0, Entry["parent"], PointerChild(Pointer, "parent"));

        if (Entry.contains("properties"))
            ApplyProperties(Component, Entry["properties"], PointerChild(Pointer, "properties"));
        if (!Entry.contains("components"))
            return;
        const TJson& Children = Entry["components"];
        const std::string ChildrenPointer = PointerChild(Pointer, "components");
        if (!Children.is_array())
            FailReading(ChildrenPointer, "",
                        "expected an array, found " + DescribeJsonValue(Children));
        for (std::size_t Index = 0; Index < Children.size(); ++Index)
            ReadComponent(Children[Index], &Component, nullptr,
                          PointerChild(ChildrenPointer, Index), Depth + 1);
    }

    static std::string RequireString(const TJson& Entry, const std::string& Key,
                                     const std::string& Pointer, bool Required) {
        if (!Entry.contains(Key)) {
            if (Required)
                FailReading(Pointer, "", "the component has no \"" + Key + "\"");
            return {};
        }
        const TJson& Value = Entry[Key];
        if (!Value.is_string())
            FailReading(PointerChild(Pointer, Key), "",
                        "expected a string, found " + DescribeJsonValue(Value));
        return Value.get<std::string>();
    }

    void RecordParent(TComponent& Component, bool IsRoot, const TJson& Value,
                      const std::string& Pointer) {
        auto* Control = dynamic_cast<TControl*>(&Component);
        if (IsRoot)
            FailReading(Pointer, "", "the form's root takes no parent from the file");
        if (Control == nullptr)
            FailReading(Pointer, "",
                        "a " + Component.ClassName() + " is not a control and has no parent");
        if (!Value.is_null() && !Value.is_string())
            FailReading(Pointer, "",
                        "expected a component name or null, found " + DescribeJsonValue(Value));
        FParents.push_back({Control,
                            Value.is_null() ? std::string() : Utf8ToHost(Value.get<std::string>()),
                            Pointer});
    }

    // A new control goes into its owner when that is a window control, as the file expects
    // unless it names another parent.
    static void PlaceControl(TComponent& Component, TComponent* Owner, const std::string& Pointer) {
        auto* Control = dynamic_cast<TControl*>(&Component);
        auto* Parent = dynamic_cast<TWinControl*>(Owner);
        if (Control == nullptr || Parent == nullptr)
            return;
        try {
            Control->SetParent(Parent);
        } catch (const std::exception& E) {
            FailReading(Pointer, "", E.what());
        }
    }

    TComponent& AdoptRoot(TComponent& Root, const std::string& ClassName,
                          const std::string& Pointer) {
        if (!SameTextAscii(Root.ClassName(), ClassName))
            FailReading(PointerChild(Pointer, "class"), "",
                        "the file holds a " + ClassName + ", not a " + Root.ClassName());
        Root.SetLoading();
        return Root;
    }

    // The component named Name that Owner already holds (one it created itself), or a new one.
    TComponent& ObtainOwned(TComponent& Owner, const std::string& ClassName,
                            const std::string& Name, const std::string& Pointer) {
        TComponent* Existing = Owner.FindComponent(Name);
        if (Existing == nullptr)
            return CreateComponent(&Owner, ClassName, Pointer);
        const std::string NamePointer = PointerChild(Pointer, "name");
        if (FRead.count(Existing) != 0)
            FailReading(NamePointer, "",
                        "the name " + Name + " is given twice in " + Describe(Owner));
        if (!SameTextAscii(Existing->ClassName(), ClassName))
            FailReading(NamePointer, "",
                        "a component named " + Name + " already exists in " + Describe(Owner) +
                            " and is a " + Existing->ClassName() + ", not a " + ClassName);
        if (FIntoExisting && !IsCreated(&Owner))
            FSaved.emplace_back(Existing, formfile::CaptureState(*Existing));
        Existing->SetLoading();
        return *Existing;
    }

    bool IsCreated(const TComponent* Component) const {
        return std::find(FCreated.begin(), FCreated.end(), Component) != FCreated.end();
    }

    TComponent& CreateComponent(TComponent* Owner, const std::string& ClassName,
                                const std::string& Pointer) {
        const std::string ClassPointer = PointerChild(Pointer, "class");
        const TClass* Class = GetClass(ClassName);
        if (Class == nullptr)
            FailReading(ClassPointer, "", "Class " + ClassName + " not found");
        if (!Class->InheritsFrom(TComponent::StaticClass()) || !Class->CanCreate())
            FailReading(ClassPointer, "", "the class " + ClassName + " cannot be created by name");
        TComponent* Component = nullptr;
        try {
            Component = Class->CreateInstance(Owner);
        } catch (const std::exception& E) {
            FailReading(Pointer, "", "creating a " + ClassName + " failed: " + E.what());
        }
        FCreated.push_back(Component);
        Component->SetLoading();
        PlaceControl(*Component, Owner, Pointer);
        return *Component;
    }

    static void ApplyName(TComponent& Component, const std::string& Name,
                          const std::string& Pointer) {
        try {
            Component.SetName(Name);
        } catch (const std::exception& E) {
            FailReading(PointerChild(Pointer, "name"), "", E.what());
        }
    }

    void ApplyProperties(TObject& Object, const TJson& Properties, const std::string& Pointer) {
        if (!Properties.is_object())
            FailReading(Pointer, "",
                        "expected an object of properties, found " + DescribeJsonValue(Properties));
        for (const auto& [Key, Value] : Properties.items()) {
            const std::string PropertyPointer = PointerChild(Pointer, Key);
            const TPropertyInfo* Property = Object.ClassType().FindProperty(Key);
            if (Property == nullptr)
                FailReading(PropertyPointer, Object.ClassName() + "." + Key,
                            Object.ClassName() + " has no published property " + Key);
            ApplyValue(Object, *Property, Value, PropertyPointer);
        }
    }

    void ApplyValue(TObject& Object, const TPropertyInfo& Property, const TJson& Value,
                    const std::string& Pointer) {
        const std::string ClassProperty = Object.ClassName() + "." + Property.Name;
        const TTypeKind Kind = Property.Type->Kind;
        if (Kind == tkMethod)
            FailReading(Pointer, ClassProperty, "an event handler cannot be read from a form file");
        if (Kind == tkObject) {
            ApplySubObject(Object, Property, Value, Pointer, ClassProperty);
            return;
        }
        if (!Property.Set)
            FailReading(Pointer, ClassProperty, "the property is read-only");
        if (Kind == tkComponent) {
            if (!Value.is_null() && !Value.is_string())
                FailReading(Pointer, ClassProperty,
                            "expected a component name or null, found " + DescribeJsonValue(Value));
            const std::string Name =
                Value.is_null() ? std::string() : Utf8ToHost(Value.get<std::string>());
            FReferences.push_back({&Object, &Property, Name, Pointer, ClassProperty});
            return;
        }
        SetProperty(Object, Property,
                    ReadScalarValue(*Property.Type, Value, Pointer, ClassProperty), Pointer,
                    ClassProperty);
    }

    static void SetProperty(TObject& Object, const TPropertyInfo& Property,
                            const TPropertyValue& Value, const std::string& Pointer,
                            const std::string& ClassProperty) {
        try {
            Property.Set(Object, Value);
        } catch (const std::exception& E) {
            FailReading(Pointer, ClassProperty, E.what());
        }
    }

    void ApplySubObject(TObject& Object, const TPropertyInfo& Property, const TJson& Value,
                        const std::string& Pointer, const std::string& ClassProperty) {
        TObject* SubObject = std::get<TObject*>(Property.Get(Object));
        if (SubObject == nullptr) {
            if (!Value.is_null())
                FailReading(Pointer, ClassProperty, "the property holds no object to read into");
            return;
        }
        if (auto* Strings = dynamic_cast<TStrings*>(SubObject)) {
            ReadStringsValue(*Strings, Value, Pointer, ClassProperty);
            return;
        }
        if (auto* Bitmap = dynamic_cast<TBitmap*>(SubObject)) {
            ReadBitmapValue(*Bitmap, Value, Pointer, ClassProperty);
            return;
        }
        if (auto* Collection = dynamic_cast<IStreamableCollection*>(SubObject)) {
            ApplyCollection(*Collection, Value, Pointer, ClassProperty);
            return;
        }
        if (!Value.is_object())
            FailReading(Pointer, ClassProperty,
                        "expected an object, found " + DescribeJsonValue(Value));
        ApplyProperties(*SubObject, Value, Pointer);
    }

    void ApplyCollection(IStreamableCollection& Collection, const TJson& Value,
                         const std::string& Pointer, const std::string& ClassProperty) {
        if (!Value.is_array())
            FailReading(Pointer, ClassProperty,
                        "expected an array of items, found " + DescribeJsonValue(Value));
        Collection.BeginStreamUpdate();
        try {
            ApplyCollectionItems(Collection, Value, Pointer, ClassProperty);
        } catch (...) {
            Collection.EndStreamUpdate();
            throw;
        }
        try {
            Collection.EndStreamUpdate();
        } catch (const std::exception& E) {
            FailReading(Pointer, ClassProperty, E.what());
        }
    }

    void ApplyCollectionItems(IStreamableCollection& Collection, const TJson& Value,
                              const std::string& Pointer, const std::string& ClassProperty) {
        try {
            Collection.ClearStreamItems();
        } catch (const std::exception& E) {
            FailReading(Pointer, ClassProperty, E.what());
        }
        for (std::size_t Index = 0; Index < Value.size(); ++Index) {
            const std::string ItemPointer = PointerChild(Pointer, Index);
            if (!Value[Index].is_object())
                FailReading(ItemPointer, ClassProperty,
                            "expected an item object, found " + DescribeJsonValue(Value[Index]));
            TObject* Item = nullptr;
            try {
                Item = &Collection.AddStreamItem();
            } catch (const std::exception& E) {
                FailReading(ItemPointer, ClassProperty, E.what());
            }
            ApplyProperties(*Item, Value[Index], ItemPointer);
        }
    }

    void ResolveParents() {
        for (const TPendingParent& Pending : FParents) {
            TWinControl* Parent = nullptr;
            if (!Pending.Name.empty()) {
                TComponent* Target = formfile::FindComponentInTree(*FRoot, Pending.Name);
                if (Target == nullptr)
                    FailReading(Pending.Pointer, "",
                                "no component named " + Pending.Name + " in the form");
                Parent = dynamic_cast<TWinControl*>(Target);
                if (Parent == nullptr)
                    FailReading(Pending.Pointer, "",
                                Pending.Name + " is a " + Target->ClassName() +
                                    ", not a window control");
            }
            try {
                Pending.Control->SetParent(Parent);
            } catch (const std::exception& E) {
                FailReading(Pending.Pointer, "", E.what());
            }
        }
    }

    void ResolveReferences() {
        for (const TPendingReference& Reference : FReferences) {
            TComponent* Target = nullptr;
            if (!Reference.Name.empty()) {
                Target = formfile::FindComponentInTree(*FRoot, Reference.Name);
                if (Target == nullptr)
                    FailReading(Reference.Pointer, Reference.ClassProperty,
                                "no component named " + Reference.Name + " in the form");
                const TClass* Required = Reference.Property->Type->ClassType;
                if (Required != nullptr && !Target->InheritsFrom(*Required))
                    FailReading(Reference.Pointer, Reference.ClassProperty,
                                Reference.Name + " is a " + Target->ClassName() + ", not a " +
                                    Required->Name());
            }
            SetProperty(*Reference.Object, *Reference.Property, static_cast<TObject*>(Target),
                        Reference.Pointer, Reference.ClassProperty);
        }
    }

    // Owner before owned, each owner's components in creation order.
    void CallLoaded() {
        std::set<TComponent*> Loading;
        CollectLoading(*FRoot, Loading);
        std::vector<TComponent*> Order;
        CollectInCreationOrder(*FRoot, Loading, Order);
        for (TComponent* Component : Order) {
            try {
                Component->Loaded();
            } catch (const std::exception& E) {
                FailReading("", "", "Loaded failed for " + Describe(*Component) + ": " + E.what());
            }
        }
    }

    void CollectInCreationOrder(TComponent& Component, const std::set<TComponent*>& Loading,
                                std::vector<TComponent*>& Order) const {
        if (Loading.count(&Component) != 0 && FWasLoading.count(&Component) == 0)
            Order.push_back(&Component);
        for (int Index = 0; Index < Component.ComponentCount(); ++Index)
            CollectInCreationOrder(*Component.Components(Index), Loading, Order);
    }

    // Frees what this read created and sets back what it changed, so that a failed read
    // leaves nothing half-built.
    void RollBack() noexcept {
        // The last created goes first: a component's owner is always created before it.
        for (auto Created = FCreated.rbegin(); Created != FCreated.rend(); ++Created)
            delete *Created;
        FCreated.clear();
        if (!FIntoExisting) {
            FRoot = nullptr;
            return;
        }
        for (auto Saved = FSaved.rbegin(); Saved != FSaved.rend(); ++Saved)
            formfile::RestoreState(*Saved->first, Saved->second);
        EndLoadingStartedHere(*FRoot);
    }

    // Ends the loading state this read began, without the work a descendant's Loaded does.
    void EndLoadingStartedHere(TComponent& Component) noexcept {
        if (Component.ComponentState().Contains(csLoading) && FWasLoading.count(&Component) == 0)
            Component.TComponent::Loaded();
        for (int Index = 0; Index < Component.ComponentCount(); ++Index)
            EndLoadingStartedHere(*Component.Components(Index));
    }

    bool FIntoExisting = false;
    TComponent* FRootOwner = nullptr;
    TComponent* FRoot = nullptr;
    std::vector<TComponent*> FCreated;
    std::set<TComponent*> FRead;
    std::vector<TPendingReference> FReferences;
    std::vector<TPendingParent> FParents;
    std::vector<std::pair<TComponent*, formfile::TObjectState>> FSaved;
    std::set<TComponent*> FWasLoading;
};

std::string ReadWholeFile(const std::filesystem::path& Path) {
    std::ifstream In(Path, std::ios::binary);
    if (!In)
        throw EReadError("Cannot open the form file " + Path.string() + ": " +
                         std::strerror(errno));
    std::ostringstream Text;
    Text << In.rdbuf();
    if (In.bad())
        throw EReadError("Cannot read the form file " + Path.string());
    return Text.str();
}

// Puts the file's name in front of a reading error.
template <class F>
decltype(auto) WithFileName(const std::filesystem::path& Path, F Read) {
    const std::string Text = ReadWholeFile(Path);
    try {
        return Read(Text);
    } catch (const EReadError& E) {
        throw EReadError(Path.string() + ": " + E.Message());
    }
}

} // namespace

std::unique_ptr<TComponent> ReadForm(const std::string& Json) {
    const TJson Document = formfile::ParseFormText(Json);
    return std::unique_ptr<TComponent>(&TFormReader().ReadNew(Document, nullptr));
}

TComponent& ReadForm(const std::string& Json, TComponent& Owner) {
    const TJson Document = formfile::ParseFormText(Json);
    return TFormReader().ReadNew(Document, &Owner);
}

void ReadFormInto(TComponent& Root, const std::string& Json) {
    const TJson Document = formfile::ParseFormText(Json);
    TFormReader().ReadInto(Root, Document);
}

std::unique_ptr<TComponent> ReadFormFile(const std::filesystem::path& Path) {
    return WithFileName(Path, [](const std::string& Text) { return ReadForm(Text); });
}

TComponent& ReadFormFile(const std::filesystem::path& Path, TComponent& Owner) {
    return WithFileName(
        Path, [&](const std::string& Text) -> TComponent& { return ReadForm(Text, Owner); });
}

void ReadFormFileInto(TComponent& Root, const std::filesystem::path& Path) {
    WithFileName(Path, [&](const std::string& Text) { ReadFormInto(Root, Text); });
}

} // namespace vorn
