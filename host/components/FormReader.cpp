#include "host/components/Bitmap.h"
#include "host/components/ClassRegistry.h"
#include "host/components/CodePage.h"
#include "host/components/Control.h"
#include "host/components/FormFile.h"
#include "host/components/FormFileDetail.h"
#include "host/components/FormState.h"
#include "host/components/StreamableCollection.h"
#include "host/components/Strings.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>

namespace vorn {

namespace {

using formfile::DescribeJsonValue;
using formfile::PointerChild;
using formfile::TJson;

// Raises the reader's error. Pointer is the JSON pointer of the offending value (empty for
// the document as a whole); ClassProperty names the property ("TEdit.Width"), if any.
[[noreturn]] void FailAt(const std::string& Pointer, const std::string& ClassProperty,
                         const std::string& Message) {
    std::string Text = "Error reading form file";
    if (!Pointer.empty())
        Text += " at " + Pointer;
    if (!ClassProperty.empty())
        Text += " (" + ClassProperty + ")";
    throw EReadError(Text + ": " + Message);
}

// ---------------------------------------------------------------- parsing

// Follows the parser through the document, so that a key given twice in one object (which
// a JSON library silently resolves to one of the values) is reported with its place.
class TDuplicateKeyCheck {
public:
    bool operator()(int, TJson::parse_event_t Event, TJson& Parsed) {
        switch (Event) {
        case TJson::parse_event_t::object_start:
            EnterChild();
            FFrames.emplace_back(true);
            break;
        case TJson::parse_event_t::array_start:
            EnterChild();
            FFrames.emplace_back(false);
            break;
        case TJson::parse_event_t::object_end:
        case TJson::parse_event_t::array_end:
            FFrames.pop_back();
            break;
        case TJson::parse_event_t::key:
            RecordKey(Parsed.get_ref<const std::string&>());
            break;
        case TJson::parse_event_t::value:
            EnterChild();
            break;
        }
        return true;
    }

private:
    struct TFrame {
        explicit TFrame(bool AIsObject) : IsObject(AIsObject) {}
        bool IsObject;
        std::set<std::string> Keys;
        std::string Key;
        std::size_t Index = 0;
        bool HasIndex = false;
    };

    void EnterChild() {
        if (FFrames.empty() || FFrames.back().IsObject)
            return;
        TFrame& Array = FFrames.back();
        Array.Index = Array.HasIndex ? Array.Index + 1 : 0;
        Array.HasIndex = true;
    }

    void RecordKey(const std::string& Key) {
        TFrame& Object = FFrames.back();
        if (!Object.Keys.insert(Key).second) {
            std::string Pointer;
            for (std::size_t Level = 0; Level + 1 < FFrames.size(); ++Level)
                Pointer = FFrames[Level].IsObject ? PointerChild(Pointer, FFrames[Level].Key)
                                                  : PointerChild(Pointer, FFrames[Level].Index);
            FailAt(PointerChild(Pointer, Key), "", "the key \"" + Key + "\" is given twice");
        }
        Object.Key = Key;
    }

    std::vector<TFrame> FFrames;
};

TJson ParseForm(const std::string& Text) {
    try {
        return TJson::parse(Text, TDuplicateKeyCheck());
    } catch (const TJson::parse_error& E) {
        // E.byte counts from 1 and points at the character that broke the syntax.
        const std::size_t Offset = std::min<std::size_t>(E.byte == 0 ? 0 : E.byte - 1, Text.size());
        const std::size_t Line =
            1 + static_cast<std::size_t>(std::count(Text.begin(), Text.begin() + Offset, '\n'));
        const std::size_t LineStart = Text.rfind('\n', Offset == 0 ? 0 : Offset - 1);
        const std::size_t Column =
            LineStart == std::string::npos || Offset == 0 ? Offset + 1 : Offset - LineStart;
        const std::string What = E.what();
        const std::size_t Reason = What.find(": ", What.find("column"));
        throw EReadError("Error reading form file: invalid JSON at line " + std::to_string(Line) +
                         ", column " + std::to_string(Column) + ": " +
                         (Reason == std::string::npos ? What : What.substr(Reason + 2)));
    }
}

// ---------------------------------------------------------------- reading

std::string Describe(const TComponent& Component) {
    return Component.ClassName() +
           (Component.Name().empty() ? std::string(" without name") : " " + Component.Name());
}

// Reading, freeing and writing walk the component tree recursively; a file may not nest
// components so deep that this could exhaust the stack.
constexpr int MaxNesting = 256;

class TFormReader {
public:
    std::unique_ptr<TComponent> ReadNew(const TJson& Document) {
        Read(Document, nullptr);
        return std::unique_ptr<TComponent>(FRoot);
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
            FailAt(Pointer, "",
                   "components are nested more than " + std::to_string(MaxNesting) + " deep");
        if (!Entry.is_object())
            FailAt(Pointer, "", "expected a component object, found " + DescribeJsonValue(Entry));
        for (const auto& [Key, Value] : Entry.items())
            if (Key != "class" && Key != "name" && Key != "parent" && Key != "properties" &&
                Key != "components")
                FailAt(PointerChild(Pointer, Key), "", "unknown key \"" + Key + "\"");
        const std::string ClassName = RequireString(Entry, "class", Pointer, true);
        const std::string Name = Utf8ToHost(RequireString(Entry, "name", Pointer, false));

        TComponent& Component = ExistingRoot != nullptr
                                    ? AdoptRoot(*ExistingRoot, ClassName, Pointer)
                                : Owner != nullptr ? ObtainOwned(*Owner, ClassName, Name, Pointer)
                                                   : CreateComponent(nullptr, ClassName, Pointer);
        if (Owner == nullptr)
            FRoot = &Component;
        FRead.insert(&Component);
        ApplyName(Component, Name, Pointer);
        if (Entry.contains("parent"))
            RecordParent(Component, Owner, Entry["parent"], PointerChild(Pointer, "parent"));

        if (Entry.contains("properties"))
            ApplyProperties(Component, Entry["properties"], PointerChild(Pointer, "properties"));
        if (!Entry.contains("components"))
            return;
        const TJson& Children = Entry["components"];
        const std::string ChildrenPointer = PointerChild(Pointer, "components");
        if (!Children.is_array())
            FailAt(ChildrenPointer, "", "expected an array, found " + DescribeJsonValue(Children));
        for (std::size_t Index = 0; Index < Children.size(); ++Index)
            ReadComponent(Children[Index], &Component, nullptr,
                          PointerChild(ChildrenPointer, Index), Depth + 1);
    }

    static std::string RequireString(const TJson& Entry, const std::string& Key,
                                     const std::string& Pointer, bool Required) {
        if (!Entry.contains(Key)) {
            if (Required)
                FailAt(Pointer, "", "the component has no \"" + Key + "\"");
            return {};
        }
        const TJson& Value = Entry[Key];
        if (!Value.is_string())
            FailAt(PointerChild(Pointer, Key), "",
                   "expected a string, found " + DescribeJsonValue(Value));
        return Value.get<std::string>();
    }

    void RecordParent(TComponent& Component, const TComponent* Owner, const TJson& Value,
                      const std::string& Pointer) {
        auto* Control = dynamic_cast<TControl*>(&Component);
        if (Owner == nullptr)
            FailAt(Pointer, "", "the form's root takes no parent from the file");
        if (Control == nullptr)
            FailAt(Pointer, "",
                   "a " + Component.ClassName() + " is not a control and has no parent");
        if (!Value.is_null() && !Value.is_string())
            FailAt(Pointer, "",
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
            FailAt(Pointer, "", E.what());
        }
    }

    TComponent& AdoptRoot(TComponent& Root, const std::string& ClassName,
                          const std::string& Pointer) {
        if (!SameTextAscii(Root.ClassName(), ClassName))
            FailAt(PointerChild(Pointer, "class"), "",
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
            FailAt(NamePointer, "", "the name " + Name + " is given twice in " + Describe(Owner));
        if (!SameTextAscii(Existing->ClassName(), ClassName))
            FailAt(NamePointer, "",
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
            FailAt(ClassPointer, "", "Class " + ClassName + " not found");
        if (!Class->InheritsFrom(TComponent::StaticClass()) || !Class->CanCreate())
            FailAt(ClassPointer, "", "the class " + ClassName + " cannot be created by name");
        TComponent* Component = nullptr;
        try {
            Component = Class->CreateInstance(Owner);
        } catch (const std::exception& E) {
            FailAt(Pointer, "", "creating a " + ClassName + " failed: " + E.what());
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
            FailAt(PointerChild(Pointer, "name"), "", E.what());
        }
    }

    void ApplyProperties(TObject& Object, const TJson& Properties, const std::string& Pointer) {
        if (!Properties.is_object())
            FailAt(Pointer, "",
                   "expected an object of properties, found " + DescribeJsonValue(Properties));
        for (const auto& [Key, Value] : Properties.items()) {
            const std::string PropertyPointer = PointerChild(Pointer, Key);
            const TPropertyInfo* Property = Object.ClassType().FindProperty(Key);
            if (Property == nullptr)
                FailAt(PropertyPointer, Object.ClassName() + "." + Key,
                       Object.ClassName() + " has no published property " + Key);
            ApplyValue(Object, *Property, Value, PropertyPointer);
        }
    }

    void ApplyValue(TObject& Object, const TPropertyInfo& Property, const TJson& Value,
                    const std::string& Pointer) {
        const std::string ClassProperty = Object.ClassName() + "." + Property.Name;
        const TTypeKind Kind = Property.Type->Kind;
        if (Kind == tkMethod)
            FailAt(Pointer, ClassProperty, "an event handler cannot be read from a form file");
        if (Kind == tkObject) {
            ApplySubObject(Object, Property, Value, Pointer, ClassProperty);
            return;
        }
        if (!Property.Set)
            FailAt(Pointer, ClassProperty, "the property is read-only");
        if (Kind == tkComponent) {
            if (!Value.is_null() && !Value.is_string())
                FailAt(Pointer, ClassProperty,
                       "expected a component name or null, found " + DescribeJsonValue(Value));
            const std::string Name =
                Value.is_null() ? std::string() : Utf8ToHost(Value.get<std::string>());
            FReferences.push_back({&Object, &Property, Name, Pointer, ClassProperty});
            return;
        }
        SetProperty(Object, Property, ConvertScalar(*Property.Type, Value, Pointer, ClassProperty),
                    Pointer, ClassProperty);
    }

    static TPropertyValue ConvertScalar(const TTypeInfo& Type, const TJson& Value,
                                        const std::string& Pointer,
                                        const std::string& ClassProperty) {
        auto Mismatch = [&](const std::string& Expected) {
            FailAt(Pointer, ClassProperty,
                   "expected " + Expected + ", found " + DescribeJsonValue(Value));
        };
        switch (Type.Kind) {
        case tkInteger:
            if (!Value.is_number_integer())
                Mismatch("an integer");
            if (Value.is_number_unsigned() &&
                Value.get<std::uint64_t>() >
                    static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
                FailAt(Pointer, ClassProperty, Value.dump() + " is out of range");
            return Value.get<std::int64_t>();
        case tkBoolean:
            if (!Value.is_boolean())
                Mismatch("true or false");
            return Value.get<bool>();
        case tkString:
            if (!Value.is_string())
                Mismatch("a string");
            return Utf8ToHost(Value.get<std::string>());
        case tkEnumeration:
            if (!Value.is_string())
                Mismatch("a value name of " + Type.Name);
            return MemberOrdinal(Type, Value.get<std::string>(), Pointer, ClassProperty);
        case tkSet:
            return SetBits(Type, Value, Pointer, ClassProperty);
        default:
            FailAt(Pointer, ClassProperty, "the property's type cannot be read");
        }
    }

    static std::int64_t MemberOrdinal(const TTypeInfo& Type, const std::string& Member,
                                      const std::string& Pointer,
                                      const std::string& ClassProperty) {
        const auto& Names = Type.ElementNames;
        const auto Found = std::find(Names.begin(), Names.end(), Member);
        if (Found == Names.end())
            FailAt(Pointer, ClassProperty, "\"" + Member + "\" is not a value of " + Type.Name);
        return Found - Names.begin();
    }

    static std::int64_t SetBits(const TTypeInfo& Type, const TJson& Value,
                                const std::string& Pointer, const std::string& ClassProperty) {
        if (!Value.is_array())
            FailAt(Pointer, ClassProperty,
                   "expected an array of member names of " + Type.Name + ", found " +
                       DescribeJsonValue(Value));
        std::uint64_t Bits = 0;
        for (std::size_t Index = 0; Index < Value.size(); ++Index) {
            const TJson& Member = Value[Index];
            const std::string MemberPointer = PointerChild(Pointer, Index);
            if (!Member.is_string())
                FailAt(MemberPointer, ClassProperty,
                       "expected a member name of " + Type.Name + ", found " +
                           DescribeJsonValue(Member));
            const auto& Names = Type.ElementNames;
            const auto Found = std::find(Names.begin(), Names.end(), Member.get<std::string>());
            if (Found == Names.end() || Found - Names.begin() >= 64)
                FailAt(MemberPointer, ClassProperty,
                       "\"" + Member.get<std::string>() + "\" is not a member of " + Type.Name);
            Bits |= std::uint64_t{1} << (Found - Names.begin());
        }
        return static_cast<std::int64_t>(Bits);
    }

    static void SetProperty(TObject& Object, const TPropertyInfo& Property,
                            const TPropertyValue& Value, const std::string& Pointer,
                            const std::string& ClassProperty) {
        try {
            Property.Set(Object, Value);
        } catch (const std::exception& E) {
            FailAt(Pointer, ClassProperty, E.what());
        }
    }

    void ApplySubObject(TObject& Object, const TPropertyInfo& Property, const TJson& Value,
                        const std::string& Pointer, const std::string& ClassProperty) {
        TObject* SubObject = std::get<TObject*>(Property.Get(Object));
        if (SubObject == nullptr) {
            if (!Value.is_null())
                FailAt(Pointer, ClassProperty, "the property holds no object to read into");
            return;
        }
        if (auto* Strings = dynamic_cast<TStrings*>(SubObject)) {
            ApplyStrings(*Strings, Value, Pointer, ClassProperty);
            return;
        }
        if (auto* Bitmap = dynamic_cast<TBitmap*>(SubObject)) {
            ApplyBitmap(*Bitmap, Value, Pointer, ClassProperty);
            return;
        }
        if (auto* Collection = dynamic_cast<IStreamableCollection*>(SubObject)) {
            ApplyCollection(*Collection, Value, Pointer, ClassProperty);
            return;
        }
        if (!Value.is_object())
            FailAt(Pointer, ClassProperty, "expected an object, found " + DescribeJsonValue(Value));
        ApplyProperties(*SubObject, Value, Pointer);
    }

    static void ApplyStrings(TStrings& Strings, const TJson& Value, const std::string& Pointer,
                             const std::string& ClassProperty) {
        if (!Value.is_array())
            FailAt(Pointer, ClassProperty,
                   "expected an array of strings, found " + DescribeJsonValue(Value));
        std::vector<std::string> Lines;
        for (std::size_t Index = 0; Index < Value.size(); ++Index) {
            if (!Value[Index].is_string())
                FailAt(PointerChild(Pointer, Index), ClassProperty,
                       "expected a string, found " + DescribeJsonValue(Value[Index]));
            Lines.push_back(Utf8ToHost(Value[Index].get<std::string>()));
        }
        try {
            Strings.BeginUpdate();
            try {
                Strings.Clear();
                for (const std::string& Line : Lines)
                    Strings.Add(Line);
            } catch (...) {
                Strings.EndUpdate();
                throw;
            }
            Strings.EndUpdate();
        } catch (const std::exception& E) {
            FailAt(Pointer, ClassProperty, E.what());
        }
    }

    static void ApplyBitmap(TBitmap& Bitmap, const TJson& Value, const std::string& Pointer,
                            const std::string& ClassProperty) {
        if (!Value.is_string())
            FailAt(Pointer, ClassProperty,
                   "expected the base64 text of a bitmap, found " + DescribeJsonValue(Value));
        const std::optional<std::vector<std::uint8_t>> Data =
            formfile::DecodeBase64(Value.get<std::string>());
        if (!Data)
            FailAt(Pointer, ClassProperty, "the bitmap's text is not valid base64");
        try {
            if (Data->empty())
                Bitmap.SetSize(0, 0);
            else
                Bitmap.LoadFromBytes(*Data);
        } catch (const std::exception& E) {
            FailAt(Pointer, ClassProperty, E.what());
        }
    }

    void ApplyCollection(IStreamableCollection& Collection, const TJson& Value,
                         const std::string& Pointer, const std::string& ClassProperty) {
        if (!Value.is_array())
            FailAt(Pointer, ClassProperty,
                   "expected an array of items, found " + DescribeJsonValue(Value));
        try {
            Collection.ClearStreamItems();
        } catch (const std::exception& E) {
            FailAt(Pointer, ClassProperty, E.what());
        }
        for (std::size_t Index = 0; Index < Value.size(); ++Index) {
            const std::string ItemPointer = PointerChild(Pointer, Index);
            if (!Value[Index].is_object())
                FailAt(ItemPointer, ClassProperty,
                       "expected an item object, found " + DescribeJsonValue(Value[Index]));
            TObject* Item = nullptr;
            try {
                Item = &Collection.AddStreamItem();
            } catch (const std::exception& E) {
                FailAt(ItemPointer, ClassProperty, E.what());
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
                    FailAt(Pending.Pointer, "",
                           "no component named " + Pending.Name + " in the form");
                Parent = dynamic_cast<TWinControl*>(Target);
                if (Parent == nullptr)
                    FailAt(Pending.Pointer, "",
                           Pending.Name + " is a " + Target->ClassName() +
                               ", not a window control");
            }
            try {
                Pending.Control->SetParent(Parent);
            } catch (const std::exception& E) {
                FailAt(Pending.Pointer, "", E.what());
            }
        }
    }

    void ResolveReferences() {
        for (const TPendingReference& Reference : FReferences) {
            TComponent* Target = nullptr;
            if (!Reference.Name.empty()) {
                Target = formfile::FindComponentInTree(*FRoot, Reference.Name);
                if (Target == nullptr)
                    FailAt(Reference.Pointer, Reference.ClassProperty,
                           "no component named " + Reference.Name + " in the form");
                const TClass* Required = Reference.Property->Type->ClassType;
                if (Required != nullptr && !Target->InheritsFrom(*Required))
                    FailAt(Reference.Pointer, Reference.ClassProperty,
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
                FailAt("", "", "Loaded failed for " + Describe(*Component) + ": " + E.what());
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
auto WithFileName(const std::filesystem::path& Path, F Read) {
    const std::string Text = ReadWholeFile(Path);
    try {
        return Read(Text);
    } catch (const EReadError& E) {
        throw EReadError(Path.string() + ": " + E.Message());
    }
}

} // namespace

std::unique_ptr<TComponent> ReadForm(const std::string& Json) {
    const TJson Document = ParseForm(Json);
    return TFormReader().ReadNew(Document);
}

void ReadFormInto(TComponent& Root, const std::string& Json) {
    const TJson Document = ParseForm(Json);
    TFormReader().ReadInto(Root, Document);
}

std::unique_ptr<TComponent> ReadFormFile(const std::filesystem::path& Path) {
    return WithFileName(Path, [](const std::string& Text) { return ReadForm(Text); });
}

void ReadFormFileInto(TComponent& Root, const std::filesystem::path& Path) {
    WithFileName(Path, [&](const std::string& Text) { ReadFormInto(Root, Text); });
}

} // namespace vorn
