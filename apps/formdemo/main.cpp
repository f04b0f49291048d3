// Builds a small form, writes it to a JSON form file, reads the file back into a new
// form and reports what came back and whether it matches the original.
//   formdemo [FILE.json]

#include "host/components/controls/Button.h"
#include "host/components/controls/ComboBox.h"
#include "host/components/controls/Edit.h"
#include "host/components/controls/Form.h"
#include "host/components/controls/Grid.h"
#include "host/components/forms/FormFile.h"
#include "host/components/model/ClassRegistry.h"
#include "host/components/text/CodePage.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <variant>

using namespace vorn;

namespace {

std::unique_ptr<TForm> BuildForm() {
    auto Form = std::make_unique<TForm>(nullptr);
    Form->SetName("DemoForm");
    Form->SetCaption("Vorn form demo");
    Form->SetBounds(100, 100, 480, 320);

    auto* Search = new TEdit(Form.get());
    Search->SetName("SearchEdit");
    Search->SetParent(Form.get());
    Search->SetBounds(8, 8, 200, 24);
    Search->SetText("Pretra\x9Eivanje"); // host code page text: Windows-1250

    auto* Fields = new TComboBox(Form.get());
    Fields->SetName("FieldCombo");
    Fields->SetParent(Form.get());
    Fields->SetBounds(216, 8, 160, 24);
    for (const char* Item : {"Ime", "Prezime", "Grad", "\x8Aifra"})
        Fields->Items()->Add(Item);
    Fields->SetItemIndex(3);

    auto* Results = new TStringGrid(Form.get());
    Results->SetName("ResultGrid");
    Results->SetParent(Form.get());
    Results->SetBounds(8, 40, 464, 240);
    Results->SetColCount(4);
    Results->SetRowCount(10);

    auto* Clear = new TSpeedButton(Form.get());
    Clear->SetName("ClearButton");
    Clear->SetParent(Form.get());
    Clear->SetBounds(384, 8, 24, 24);
    Clear->SetCaption("Obri\x9Ai");
    return Form;
}

// A published property's value as text, through the run-time class information.
std::string ValueText(TObject& Object, const TPropertyInfo& Property) {
    const TPropertyValue Value = Property.Get(Object);
    if (const auto* Number = std::get_if<std::int64_t>(&Value)) {
        const auto& Names = Property.Type->ElementNames;
        if (Property.Type->Kind == tkEnumeration && *Number >= 0 &&
            *Number < static_cast<std::int64_t>(Names.size()))
            return Names[static_cast<std::size_t>(*Number)];
        return std::to_string(*Number);
    }
    if (const auto* Flag = std::get_if<bool>(&Value))
        return *Flag ? "True" : "False";
    if (const auto* Text = std::get_if<std::string>(&Value))
        return "\"" + HostToUtf8(*Text) + "\"";
    return "(object)";
}

void PrintComponent(TComponent& Component, const std::string& Indent) {
    std::cout << Indent << Component.ClassName() << " " << Component.Name() << "\n";
    for (const char* Name : {"Caption", "Text", "Left", "Top", "Width", "Height", "ItemIndex",
                             "ColCount", "RowCount"}) {
        const TPropertyInfo* Property = Component.ClassType().FindProperty(Name);
        if (Property != nullptr)
            std::cout << Indent << "    " << Name << " = " << ValueText(Component, *Property)
                      << "\n";
    }
    if (auto* Combo = dynamic_cast<TComboBox*>(&Component))
        std::cout << Indent << "    Items = " << Combo->Items()->Count() << " strings\n";
    if (auto* Control = dynamic_cast<TControl*>(&Component); Control && Control->Parent())
        std::cout << Indent << "    Parent = " << Control->Parent()->Name() << "\n";
    for (int Index = 0; Index < Component.ComponentCount(); ++Index)
        PrintComponent(*Component.Components(Index), Indent + "  ");
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && std::string(argv[1]).rfind("--", 0) == 0)) {
        const bool Help = std::string(argv[1]) == "--help";
        (Help ? std::cout : std::cerr)
            << "usage: formdemo [FILE.json]\n"
               "  writes a small form to FILE.json (default: vorn-formdemo.json in the\n"
               "  temporary folder), reads it back and compares\n";
        return Help ? 0 : 2;
    }
    const std::filesystem::path Path =
        argc > 1 ? std::filesystem::path(argv[1])
                 : std::filesystem::temp_directory_path() / "vorn-formdemo.json";
    try {
        RegisterHostClasses();
        std::unique_ptr<TForm> Form = BuildForm();
        std::cout << "Built the form " << Form->Name() << " with " << Form->ComponentCount()
                  << " components (host code page " << CodePageName(HostCodePage()) << ").\n";

        WriteFormFile(*Form, Path);
        const std::string Original = WriteForm(*Form);
        std::cout << "Wrote " << Path.string() << " (" << Original.size() << " bytes).\n";

        std::unique_ptr<TComponent> Copy = ReadFormFile(Path);
        std::cout << "Read it back:\n";
        PrintComponent(*Copy, "  ");

        const bool Matched = WriteForm(*Copy) == Original;
        std::cout << "Round trip matched: " << (Matched ? "yes" : "NO") << "\n";
        return Matched ? 0 : 1;
    } catch (const std::exception& E) {
        std::cerr << "formdemo: " << E.what() << "\n";
        return 1;
    }
}
