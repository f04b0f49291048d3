// vorndesigner: the form designer on the command line. Every run loads the packages,
// does one thing and, when it changed the form, writes the form file back.

#include "apps/designer/ImageFile.h"
#include "host/components/Version.h"
#include "host/components/model/ClassRegistry.h"
#include "host/data/dataset/Database.h"
#include "host/data/drivers/postgres/PgDatabase.h"
#include "host/designer/FormDesigner.h"
#include "host/designer/PackageLoader.h"
#include "host/designer/PropertyEditorRegistry.h"

#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace vorn;
namespace fs = std::filesystem;

constexpr const char* Usage =
    "usage: vorndesigner [OPTION...] COMMAND ...\n"
    "  packages                          list the loaded packages\n"
    "  palette [CLASS IMAGE.png|.bmp]    list the palette, or write a class's palette image\n"
    "  new FORM.json NAME                create a form file with an empty form\n"
    "  add FORM.json CLASS [NAME [PARENT]]\n"
    "                                    put a component on the form; a control goes on\n"
    "                                    PARENT, or on the form itself\n"
    "  properties FORM.json COMPONENT... list the published properties and their editors\n"
    "  set FORM.json PROPERTY VALUE COMPONENT...\n"
    "                                    set a property of one or several components (also\n"
    "                                    Parent; colours by name, clRed, or by number)\n"
    "options:\n"
    "  --packages DIR                    where the packages are\n"
    "  --language LANG                   the language of the resource modules (ENU)\n"
    "  --sqlite ALIAS=PATH               a database alias for this run: a SQLite file\n"
    "  --postgres ALIAS=CONNINFO         a database alias for this run: a PostgreSQL server\n"
    "  --help, --version                 this text; the version\n";

class EUsage : public Exception {
public:
    using Exception::Exception;
};

const char* const AttributeNames[] = {"paValueList",   "paSubProperties", "paDialog",
                                      "paMultiSelect", "paAutoUpdate",    "paSortList",
                                      "paReadOnly",    "paRevertable"};

std::string DescribeAttributes(TPropertyAttributes Attributes) {
    std::string Names;
    for (int Bit = 0; Bit < static_cast<int>(std::size(AttributeNames)); ++Bit)
        if (Attributes.Contains(static_cast<TPropertyAttribute>(Bit)))
            Names += (Names.empty() ? "" : ", ") + std::string(AttributeNames[Bit]);
    return std::to_string(Attributes.Bits()) + " (" + Names + ")";
}

struct TOptions {
    fs::path PackageFolder = VORN_DEFAULT_PACKAGE_DIR;
    std::string Language = "ENU";
    std::vector<std::string> Arguments;
};

// Registers the database alias of a --sqlite or --postgres option ("ALIAS=TARGET").
void RegisterAliasOption(const std::string& Option, const std::string& Value) {
    const auto Equals = Value.find('=');
    if (Equals == 0 || Equals == std::string::npos || Equals + 1 == Value.size())
        throw EUsage(Option + " needs ALIAS=" + (Option == "--sqlite" ? "PATH" : "CONNINFO") +
                     ", not \"" + Value + "\"");
    const std::string Alias = Value.substr(0, Equals);
    const std::string Target = Value.substr(Equals + 1);
    if (Option == "--sqlite")
        RegisterSQLiteDatabase(Alias, Target);
    else
        RegisterPostgresDatabase(Alias, Target);
}

TOptions ParseOptions(int Count, char** Values) {
    TOptions Options;
    for (int Index = 1; Index < Count; ++Index) {
        const std::string Argument = Values[Index];
        const bool TakesValue = Argument == "--packages" || Argument == "--language" ||
                                Argument == "--sqlite" || Argument == "--postgres";
        if (!TakesValue) {
            Options.Arguments.push_back(Argument);
            continue;
        }
        if (++Index == Count)
            throw EUsage(Argument + " needs a value");
        if (Argument == "--packages")
            Options.PackageFolder = Values[Index];
        else if (Argument == "--language")
            Options.Language = Values[Index];
        else
            RegisterAliasOption(Argument, Values[Index]);
    }
    if (Options.Arguments.empty())
        throw EUsage("no command given");
    return Options;
}

void RequireArguments(const std::vector<std::string>& Arguments, std::size_t Least,
                      std::size_t Most) {
    if (Arguments.size() < Least || Arguments.size() > Most)
        throw EUsage("wrong number of arguments for " + Arguments.front());
}

void ListPackages(const TPackageLoader& Loader) {
    for (const TLoadedPackage* Package : Loader.Packages()) {
        const TPackageInfoTable& Info = Package->Info();
        const auto& Version = Info.Version.FileVersion;
        std::cout << Package->Name() << " " << Info.Version.ProductVersion << " (file version "
                  << Version[0] << "." << Version[1] << "." << Version[2] << "." << Version[3]
                  << ", language " << Info.Version.Language << ")"
                  << ((Info.Flags & pfDesignOnly) != 0 ? " design-only" : "") << "\n  "
                  << Info.Description << "\n";
    }
}

void Palette(const TPackageLoader& Loader, const std::vector<std::string>& Arguments) {
    RequireArguments(Arguments, 1, 3);
    if (Arguments.size() == 3) {
        designer::SaveImageFile(*Loader.PaletteImage(FindClass(Arguments[1])), Arguments[2]);
        return;
    }
    if (Arguments.size() == 2)
        throw EUsage("palette needs a class and an image file name, or neither");
    for (const std::string& Page : PalettePages()) {
        std::cout << Page << "\n";
        for (const TClass* Class : PaletteClasses(Page))
            std::cout << "  " << Class->Name() << "\n";
    }
}

void ListProperties(TFormDesigner& Designer, const std::vector<std::string>& Names) {
    std::vector<TComponent*> Selection;
    for (const std::string& Name : Names)
        Selection.push_back(&Designer.FindFormComponent(Name));
    // The parent is kept beside the published properties; shown for one control.
    if (const std::string Parent = TFormDesigner::ParentName(*Selection.front());
        Selection.size() == 1 && !Parent.empty())
        std::cout << "Parent = " << Parent << "\n";
    for (const auto& Editor : GetComponentProperties(Selection, &Designer.Form())) {
        std::cout << Editor->GetName() << " = " << Editor->GetValue()
                  << (Editor->AllEqual() ? "" : "  (values differ)") << "\n  editor "
                  << Editor->ClassName() << ", attributes "
                  << DescribeAttributes(Editor->GetAttributes()) << "\n";
        const std::vector<std::string> Values = Editor->ValueList();
        if (Values.empty())
            continue;
        std::cout << "  values:";
        for (const std::string& Value : Values)
            std::cout << " \"" << Value << "\"";
        std::cout << "\n";
    }
}

int RunFormCommand(TFormDesigner& Designer, const std::vector<std::string>& Arguments) {
    const std::string& Command = Arguments.front();
    RequireArguments(Arguments, 2, static_cast<std::size_t>(-1));
    const fs::path FormFile = Arguments[1];
    if (Command == "new") {
        RequireArguments(Arguments, 3, 3);
        if (fs::exists(FormFile))
            throw Exception("Form file " + FormFile.string() + " already exists");
        Designer.NewForm(Arguments[2]);
        Designer.SaveForm(FormFile);
        return 0;
    }
    Designer.OpenForm(FormFile);
    if (Command == "add") {
        RequireArguments(Arguments, 3, 5);
        const TComponent& Added =
            Designer.AddComponent(Arguments[2], Arguments.size() >= 4 ? Arguments[3] : "",
                                  Arguments.size() == 5 ? Arguments[4] : "");
        Designer.SaveForm(FormFile);
        std::cout << Added.Name() << "\n";
        return 0;
    }
    if (Command == "properties") {
        RequireArguments(Arguments, 3, static_cast<std::size_t>(-1));
        ListProperties(Designer, {Arguments.begin() + 2, Arguments.end()});
        return 0;
    }
    if (Command == "set") {
        RequireArguments(Arguments, 5, static_cast<std::size_t>(-1));
        Designer.SetProperty({Arguments.begin() + 4, Arguments.end()}, Arguments[2], Arguments[3]);
        Designer.SaveForm(FormFile);
        return 0;
    }
    throw EUsage("unknown command " + Command);
}

int Run(const TOptions& Options) {
    TPackageLoader Loader(Options.Language);
    Loader.LoadPackage(PackageFileName(Options.PackageFolder, "VornData"));
    Loader.LoadPackage(PackageFileName(Options.PackageFolder, "VornDataDesign"));
    const std::string& Command = Options.Arguments.front();
    if (Command == "packages") {
        RequireArguments(Options.Arguments, 1, 1);
        ListPackages(Loader);
        return 0;
    }
    if (Command == "palette") {
        Palette(Loader, Options.Arguments);
        return 0;
    }
    // The form goes before the packages whose classes it holds.
    TFormDesigner Designer;
    return RunFormCommand(Designer, Options.Arguments);
}

} // namespace

int main(int ArgumentCount, char** Arguments) {
    const std::string First = ArgumentCount > 1 ? Arguments[1] : "";
    if (First == "--help") {
        std::cout << Usage;
        return 0;
    }
    if (First == "--version") {
        std::cout << "vorndesigner " << VornVersion << "\n";
        return 0;
    }
    try {
        return Run(ParseOptions(ArgumentCount, Arguments));
    } catch (const EUsage& Error) {
        std::cerr << "vorndesigner: " << Error.Message() << "\n" << Usage;
        return 2;
    } catch (const std::exception& Error) {
        std::cerr << "vorndesigner: " << Error.what() << "\n";
        return 1;
    }
}
