#include "host/designer/FormDesigner.h"
#include "host/designer/PackageLoader.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace vorn {
namespace {

// Runs Command and returns what it printed; the exit status goes to Status.
std::string Output(const std::string& Command, int& Status) {
    std::string Text;
    FILE* Pipe = popen(Command.c_str(), "r");
    if (Pipe == nullptr)
        return Text;
    char Buffer[256];
    while (std::fgets(Buffer, sizeof Buffer, Pipe) != nullptr)
        Text += Buffer;
    Status = pclose(Pipe);
    return Text;
}

TEST(DesignSessionTest, AMaskPickedInTheDesignerIsInForceInTheApplication) {
    const std::filesystem::path FormFile =
        std::filesystem::temp_directory_path() /
        ("vorn-designed-form-" + std::to_string(getpid()) + ".json");
    {
        TPackageLoader Loader;
        Loader.LoadPackage(VORN_DATA_PACKAGE);
        Loader.LoadPackage(VORN_DATA_DESIGN_PACKAGE);
        TFormDesigner Designer;
        Designer.NewForm("DesignedForm");
        EXPECT_EQ(Designer.AddComponent("TDBGrid").Name(), "DBGrid1");
        EXPECT_EQ(Designer.AddComponent("TDataSource").Name(), "DataSource1");
        EXPECT_EQ(Designer.AddComponent("TDBGridTitleSort").Name(), "DBGridTitleSort1");
        Designer.SetProperty({"DBGrid1"}, "DataSource", "DataSource1");

        auto Mask = Designer.EditProperty({"DBGridTitleSort1"}, "ClickedTitleMask");
        const auto Samples = Mask->ValueList();
        ASSERT_EQ(Samples.size(), 4u);
        Mask->SetValue(Samples[2]);
        Designer.SaveForm(FormFile);
    }
    // Read back through the designer again: what was saved is what was designed.
    {
        TPackageLoader Loader;
        Loader.LoadPackage(VORN_DATA_DESIGN_PACKAGE);
        TFormDesigner Designer;
        Designer.OpenForm(FormFile);
        EXPECT_TRUE(Designer.Form().ComponentState().Contains(csDesigning));
        EXPECT_EQ(Designer.EditProperty({"DBGridTitleSort1"}, "ClickedTitleMask")->GetValue(),
                  "%t (%i)");
        EXPECT_EQ(Designer.EditProperty({"DBGrid1"}, "DataSource")->GetValue(), "DataSource1");
    }

    int Status = -1;
    const std::string Printed = Output(
        std::string(VORN_DESIGNED_FORM_RUNNER) + " '" + FormFile.string() + "' 2>&1", Status);
    std::filesystem::remove(FormFile);
    EXPECT_EQ(Status, 0) << Printed;
    EXPECT_EQ(Printed, "mask: %t (%i)\nsorted by: Name\ntitle: Name (1)\n");
}

// A component added in the designer is designed from its constructor on, as one read
// from a form file is: a filter grid makes none of its run-time parts.
TEST(DesignSessionTest, AnAddedComponentIsDesignedFromTheStart) {
    TPackageLoader Loader;
    Loader.LoadPackage(VORN_DATA_PACKAGE);
    TFormDesigner Designer;
    Designer.NewForm("Form1");
    TComponent& Grid = Designer.AddComponent("TDBFilterGrid");
    EXPECT_TRUE(Grid.ComponentState().Contains(csDesigning));
    EXPECT_EQ(Grid.ComponentCount(), 0);
    EXPECT_EQ(Grid.Owner(), &Designer.Form());
    Designer.CloseForm();
}

TEST(DesignSessionTest, DesignerErrorsChangeNothing) {
    TPackageLoader Loader;
    Loader.LoadPackage(VORN_DATA_PACKAGE);
    TFormDesigner Designer;
    EXPECT_THROW(Designer.AddComponent("TDBGrid"), EComponentError) << "no form open";
    Designer.NewForm("Form1");
    Designer.AddComponent("TDBLocateEdit", "Locate");
    struct TCase {
        const char* Title;
        std::function<void()> Action;
        std::string Message;
    };
    const std::vector<TCase> Cases = {
        {.Title = "unknown class",
         .Action = [&] { Designer.AddComponent("TNoSuchThing"); },
         .Message = "Class TNoSuchThing not found"},
        {.Title = "not a component",
         .Action = [&] { Designer.AddComponent("TPersistent"); },
         .Message = "Class TPersistent not found"},
        {.Title = "name taken",
         .Action = [&] { Designer.AddComponent("TDBSortComboBox", "Locate"); },
         .Message = "A component named Locate already exists"},
        {.Title = "unknown component",
         .Action = [&] { Designer.SetProperty({"Nobody"}, "Name", "X"); },
         .Message = "Form Form1 has no component named Nobody"},
        {.Title = "unknown property",
         .Action = [&] { Designer.SetProperty({"Locate"}, "Colour", "1"); },
         .Message = "Component Locate (TDBLocateEdit) has no published property Colour"},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Title);
        try {
            Case.Action();
            ADD_FAILURE() << "no error";
        } catch (const Exception& Error) {
            EXPECT_EQ(Error.Message(), Case.Message);
        }
        EXPECT_EQ(Designer.Form().ComponentCount(), 1);
    }
    // A form file that cannot be read leaves the open form alone.
    const std::filesystem::path Broken = std::filesystem::temp_directory_path() /
                                         ("vorn-broken-form-" + std::to_string(getpid()) + ".json");
    std::ofstream(Broken) << "{\"class\": \"TForm\", \"name\": ";
    EXPECT_THROW(Designer.OpenForm(Broken), Exception);
    std::filesystem::remove(Broken);
    EXPECT_EQ(Designer.Form().Name(), "Form1");
    EXPECT_NE(Designer.Form().FindComponent("Locate"), nullptr);
}

} // namespace
} // namespace vorn
