#include "host/components/controls/Control.h"
#include "host/components/forms/FormFile.h"
#include "host/components/forms/FormFileDetail.h"
#include "host/components/graphics/Bitmap.h"
#include "host/components/model/StreamableCollection.h"
#include "host/components/model/Strings.h"
#include "host/components/text/CodePage.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <system_error>

namespace vorn {

namespace {

using formfile::TJson;

// Writes the published properties of one component and of its sub-objects. Where names
// the component within the form ("Form1.Edit1") for messages.
class TFormWriter {
public:
    explicit TFormWriter(TComponent& Root) : FRoot(Root) {}

    TJson WriteComponent(TComponent& Component, const std::string& Where) {
        TJson Result = TJson::object();
        Result["class"] = Component.ClassName();
        Result["name"] = HostToUtf8(Component.Name());
        if (auto* Control = dynamic_cast<TControl*>(&Component); Control && &Component != &FRoot)
            WriteParent(*Control, Result, Where);
        Result["properties"] = WriteProperties(Component, Where);
        TJson Children = TJson::array();
        for (int Index = 0; Index < Component.ComponentCount(); ++Index) {
            TComponent& Child = *Component.Components(Index);
            if (Child.IsSubComponent())
                continue;
            Children.push_back(WriteComponent(Child, Where + "." + Child.Name()));
        }
        Result["components"] = std::move(Children);
        return Result;
    }

private:
    // A control's parent is its owner when the owner is a window control; only a parent
    // other than that is written.
    void WriteParent(TControl& Control, TJson& Entry, const std::string& Where) {
        TWinControl* Parent = Control.Parent();
        if (Parent == dynamic_cast<TWinControl*>(Control.Owner()))
            return;
        if (Parent == nullptr) {
            Entry["parent"] = nullptr;
            return;
        }
        if (Parent->Name().empty() ||
            formfile::FindComponentInTree(FRoot, Parent->Name()) != Parent)
            throw EWriteError("Error writing " + Where + " (" + Control.ClassName() +
                              "): its parent (" + Parent->ClassName() + " " + Parent->Name() +
                              ") cannot be found by its name within the form");
        Entry["parent"] = HostToUtf8(Parent->Name());
    }

    TJson WriteProperties(TObject& Object, const std::string& Where) {
        const bool IsComponent = dynamic_cast<TComponent*>(&Object) != nullptr;
        TJson Result = TJson::object();
        for (const TPropertyInfo* Property : Object.ClassType().Properties()) {
            if (Property->Type->Kind == tkMethod)
                continue; // a handler has no name to write
            if (IsComponent && Property->Name == "Name")
                continue; // written as the component's "name"
            if (!Property->Set && Property->Type->Kind != tkObject)
                continue; // read-only: it could never be read back
            if (Property->StreamDefault && Property->Get(Object) == *Property->StreamDefault)
                continue;
            Result[Property->Name] = WriteValue(Object, *Property, Where + "." + Property->Name);
        }
        return Result;
    }

    [[noreturn]] static void Fail(const TObject& Object, const TPropertyInfo& Property,
                                  const std::string& Where, const std::string& Message) {
        throw EWriteError("Error writing " + Where + " (" + Object.ClassName() + "." +
                          Property.Name + "): " + Message);
    }

    TJson WriteValue(TObject& Object, const TPropertyInfo& Property, const std::string& Where) {
        const TPropertyValue Value = Property.Get(Object);
        const TTypeInfo& Type = *Property.Type;
        switch (Type.Kind) {
        case tkInteger:
            return std::get<std::int64_t>(Value);
        case tkBoolean:
            return std::get<bool>(Value);
        case tkString:
            return HostToUtf8(std::get<std::string>(Value));
        case tkEnumeration:
            return WriteEnumeration(Object, Property, Where, std::get<std::int64_t>(Value));
        case tkSet:
            return WriteSet(Object, Property, Where, std::get<std::int64_t>(Value));
        case tkComponent:
            return WriteReference(Object, Property, Where, std::get<TObject*>(Value));
        case tkObject:
            return WriteSubObject(std::get<TObject*>(Value), Where);
        case tkMethod:
            break;
        }
        Fail(Object, Property, Where, "the property's type cannot be written");
    }

    TJson WriteEnumeration(TObject& Object, const TPropertyInfo& Property, const std::string& Where,
                           std::int64_t Ordinal) {
        const std::vector<std::string>& Names = Property.Type->ElementNames;
        if (Ordinal < 0 || Ordinal >= static_cast<std::int64_t>(Names.size()))
            Fail(Object, Property, Where,
                 std::to_string(Ordinal) + " is not a value of " + Property.Type->Name);
        return Names[static_cast<std::size_t>(Ordinal)];
    }

    TJson WriteSet(TObject& Object, const TPropertyInfo& Property, const std::string& Where,
                   std::int64_t Bits) {
        const std::vector<std::string>& Names = Property.Type->ElementNames;
        auto Remaining = static_cast<std::uint64_t>(Bits);
        TJson Result = TJson::array();
        for (std::size_t Member = 0; Member < Names.size() && Member < 64; ++Member) {
            const std::uint64_t Bit = std::uint64_t{1} << Member;
            if ((Remaining & Bit) == 0)
                continue;
            Result.push_back(Names[Member]);
            Remaining &= ~Bit;
        }
        if (Remaining != 0)
            Fail(Object, Property, Where,
                 "the set holds members that " + Property.Type->Name + " does not name");
        return Result;
    }

    TJson WriteReference(TObject& Object, const TPropertyInfo& Property, const std::string& Where,
                         TObject* Target) {
        if (Target == nullptr)
            return nullptr;
        auto* Component = dynamic_cast<TComponent*>(Target);
        if (Component == nullptr)
            Fail(Object, Property, Where,
                 "the property refers to an object that is not a component");
        // The reader finds references by name within the form; make sure it would find this one.
        if (Component->Name().empty() ||
            formfile::FindComponentInTree(FRoot, Component->Name()) != Component)
            Fail(Object, Property, Where,
                 "the component referred to (" + Component->ClassName() +
                     (Component->Name().empty() ? std::string(" without name")
                                                : " " + Component->Name()) +
                     ") cannot be found by its name within the form");
        return HostToUtf8(Component->Name());
    }

    TJson WriteSubObject(TObject* SubObject, const std::string& Where) {
        if (SubObject == nullptr)
            return nullptr;
        if (auto* Strings = dynamic_cast<TStrings*>(SubObject)) {
            TJson Result = TJson::array();
            for (int Index = 0; Index < Strings->Count(); ++Index)
                Result.push_back(HostToUtf8(Strings->Strings(Index)));
            return Result;
        }
        if (auto* Bitmap = dynamic_cast<TBitmap*>(SubObject))
            return Bitmap->Empty() ? std::string() : formfile::EncodeBase64(Bitmap->SaveToBytes());
        if (auto* Collection = dynamic_cast<IStreamableCollection*>(SubObject)) {
            TJson Result = TJson::array();
            for (int Index = 0; Index < Collection->StreamItemCount(); ++Index)
                Result.push_back(WriteProperties(Collection->StreamItem(Index),
                                                 Where + "[" + std::to_string(Index) + "]"));
            return Result;
        }
        return WriteProperties(*SubObject, Where);
    }

    TComponent& FRoot;
};

} // namespace

std::string WriteForm(TComponent& Root) {
    TFormWriter Writer(Root);
    return Writer.WriteComponent(Root, Root.Name().empty() ? Root.ClassName() : Root.Name())
               .dump(4) +
           "\n";
}

void WriteFormFile(TComponent& Root, const std::filesystem::path& Path) {
    const std::string Text = WriteForm(Root);
    std::filesystem::path Temporary = Path;
    Temporary += ".tmp";
    {
        std::ofstream Out(Temporary, std::ios::binary | std::ios::trunc);
        if (!Out)
            throw EWriteError("Cannot create the form file " + Temporary.string() + ": " +
                              std::strerror(errno));
        Out.write(Text.data(), static_cast<std::streamsize>(Text.size()));
        Out.flush();
        if (!Out) {
            Out.close();
            std::error_code Ignored;
            std::filesystem::remove(Temporary, Ignored);
            throw EWriteError("Cannot write the form file " + Temporary.string());
        }
    }
    std::error_code Error;
    std::filesystem::rename(Temporary, Path, Error);
    if (Error) {
        std::error_code Ignored;
        std::filesystem::remove(Temporary, Ignored);
        throw EWriteError("Cannot replace the form file " + Path.string() + ": " + Error.message());
    }
}

} // namespace vorn
