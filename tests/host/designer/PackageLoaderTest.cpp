#include "host/designer/PackageLoader.h"
#include "host/components/graphics/Resources.h"
#include "host/components/model/ClassRegistry.h"
#include "host/designer/PropertyEditorRegistry.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace vorn {
namespace {

const std::vector<std::string> RuntimeUnitsInInitializationOrder = {
    "Vorn_shared",  "DBLocateEdit",    "DBFieldComboBox",
    "DBFilterGrid", "DBGridTitleSort", "DBSortComboBox"};

bool IsMapped(const std::string& FileName) {
    void* Handle = dlopen(FileName.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (Handle == nullptr)
        return false;
    dlclose(Handle);
    return true;
}

std::vector<std::string> ClassNames(const std::vector<const TClass*>& Classes) {
    std::vector<std::string> Names;
    for (const TClass* Class : Classes)
        Names.push_back(Class->Name());
    return Names;
}

bool OnAnyPalettePage(const std::string& ClassName) {
    for (const std::string& Page : PalettePages())
        for (const TClass* Class : PaletteClasses(Page))
            if (Class->Name() == ClassName)
                return true;
    return false;
}

// The units of a package among those the host has seen initialised, in their order.
std::vector<std::string> InitializedAmong(const std::vector<std::string>& Units) {
    std::vector<std::string> Result;
    for (const std::string& Unit : InitializedUnits())
        if (std::find(Units.begin(), Units.end(), Unit) != Units.end())
            Result.push_back(Unit);
    return Result;
}

std::vector<std::string> Strings(const char* const* Items, int Count) {
    return std::vector<std::string>(Items, Items + Count);
}

// Nothing of either package is left in the process.
void ExpectNothingLeft() {
    EXPECT_FALSE(IsMapped(VORN_DATA_PACKAGE));
    EXPECT_FALSE(IsMapped(VORN_DATA_DESIGN_PACKAGE));
    const auto Pages = PalettePages();
    EXPECT_EQ(std::find(Pages.begin(), Pages.end(), "Vorn"), Pages.end());
    for (const char* Class : {"TDBGridTitleSort", "TDBFilterGrid", "TDBSortComboBox",
                              "TDBLocateEdit", "TDBFieldComboBox"})
        EXPECT_EQ(GetClass(Class), nullptr) << Class;
    for (const char* Resource : {"DELETEFILTERROW", "TDBGRIDTITLESORT", "TDBFILTERGRID"})
        EXPECT_FALSE(FindResource("VornData", Resource, RT_BITMAP)) << Resource;
    EXPECT_TRUE(InitializedAmong(RuntimeUnitsInInitializationOrder).empty());
    EXPECT_EQ(PropertyEditorRegistrationCount(), 0);
}

TEST(PackageLoaderTest, TheRuntimePackagePutsFiveComponentsWithImagesOnThePageVorn) {
    TPackageLoader Loader;
    Loader.LoadPackage(VORN_DATA_PACKAGE);
    EXPECT_EQ(ClassNames(PaletteClasses("Vorn")),
              (std::vector<std::string>{"TDBSortComboBox", "TDBLocateEdit", "TDBGridTitleSort",
                                        "TDBFilterGrid", "TDBFieldComboBox"}));
    for (const TClass* Class : PaletteClasses("Vorn")) {
        SCOPED_TRACE(Class->Name());
        auto Image = Loader.PaletteImage(*Class);
        ASSERT_EQ(Image->Width(), 24);
        ASSERT_EQ(Image->Height(), 24);
        std::set<TColor> Colours;
        for (int Y = 0; Y < 24; ++Y)
            for (int X = 0; X < 24; ++X)
                Colours.insert(Image->Pixels(X, Y));
        EXPECT_GE(Colours.size(), 3u) << "a picture, not a blank square";
    }
    // The filter grid creates its in-cell editors itself: they are neither on the palette
    // nor creatable by name.
    for (const char* Editor : {"TDBFilterGridComboBox", "TDBFilterGridSpeedButton"}) {
        EXPECT_FALSE(OnAnyPalettePage(Editor)) << Editor;
        EXPECT_EQ(GetClass(Editor), nullptr) << Editor;
    }
    EXPECT_THROW(Loader.PaletteImage(TComponent::StaticClass()), EResNotFound);
}

TEST(PackageLoaderTest, PackagesDescribeTheirMakeUp) {
    TPackageLoader Loader;
    Loader.LoadPackage(VORN_DATA_DESIGN_PACKAGE);
    struct TExpected {
        const char* Name;
        std::vector<std::string> Requires, Units;
        std::uint32_t Flags;
        std::vector<int> FileVersion;
    };
    const std::vector<TExpected> Packages = {
        {.Name = "VornData",
         .Requires = {"VCLDB40", "vcl40"},
         .Units = {"VornData", "DBSortComboBox", "Vorn_shared", "SysInit", "DBLocateEdit",
                   "DBGridTitleSort", "DBFilterGrid", "DBFieldComboBox"},
         .Flags = pfNeverBuild | pfModule,
         .FileVersion = {1, 0, 0, 4}},
        {.Name = "VornDataDesign",
         .Requires = {"VornData", "VCLDB40", "vcl40"},
         .Units = {"VornDataDesign", "DBGridTitleSort_Design", "SysInit"},
         .Flags = pfNeverBuild | pfDesignOnly | pfModule,
         .FileVersion = {1, 0, 0, 0}},
    };
    for (const TExpected& Expected : Packages) {
        SCOPED_TRACE(Expected.Name);
        const TLoadedPackage* Package = Loader.FindPackage(Expected.Name);
        ASSERT_NE(Package, nullptr);
        const TPackageInfoTable& Info = Package->Info();
        EXPECT_EQ(Strings(Info.Requires, Info.RequiresCount), Expected.Requires);
        std::vector<std::string> Units;
        for (int Index = 0; Index < Info.UnitCount; ++Index)
            Units.push_back(Info.Units[Index].Name);
        EXPECT_EQ(Units, Expected.Units);
        EXPECT_EQ(Info.Flags, Expected.Flags);
        EXPECT_EQ(std::vector<int>(Info.Version.FileVersion, Info.Version.FileVersion + 4),
                  Expected.FileVersion);
        EXPECT_STREQ(Info.Version.ProductVersion, "1.0.2");
        EXPECT_STREQ(Info.Version.Language, "040904E4");
        ASSERT_NE(Info.Description, nullptr);
        const std::string Description = Info.Description;
        EXPECT_FALSE(Description.empty());
        EXPECT_EQ(Description.find('\n'), std::string::npos) << "one line";
    }
}

TEST(PackageLoaderTest, LoadingAndUnloadingTwiceLeavesNothingBehind) {
    const int InitializationsBefore = UnitInitializationRuns("DBFilterGrid");
    const int FinalizationsBefore = UnitFinalizationRuns("DBFilterGrid");
    for (int Round = 1; Round <= 2; ++Round) {
        SCOPED_TRACE("round " + std::to_string(Round));
        TPackageLoader Loader;
        Loader.LoadPackage(VORN_DATA_PACKAGE);
        EXPECT_TRUE(IsMapped(VORN_DATA_PACKAGE));
        EXPECT_EQ(InitializedAmong(RuntimeUnitsInInitializationOrder),
                  RuntimeUnitsInInitializationOrder);
        for (const std::string& Unit : RuntimeUnitsInInitializationOrder)
            EXPECT_EQ(UnitInitializationRuns(Unit), InitializationsBefore + Round) << Unit;
        // Loading the same file again is the package already loaded.
        EXPECT_EQ(&Loader.LoadPackage(VORN_DATA_PACKAGE), Loader.FindPackage("VornData"));
        EXPECT_EQ(UnitInitializationRuns("Vorn_shared"), InitializationsBefore + Round);

        Loader.UnloadPackage("VornData");
        for (const std::string& Unit : RuntimeUnitsInInitializationOrder)
            EXPECT_EQ(UnitFinalizationRuns(Unit), FinalizationsBefore + Round) << Unit;
        EXPECT_TRUE(Loader.Packages().empty());
        ExpectNothingLeft();
    }
}

TEST(PackageLoaderTest, TheDesignPackageBringsTheRuntimePackageAndSharesItsUnits) {
    const int SharedRuns = UnitInitializationRuns("Vorn_shared");
    const int TitleSortRuns = UnitInitializationRuns("DBGridTitleSort");
    {
        TPackageLoader Loader;
        Loader.LoadPackage(VORN_DATA_DESIGN_PACKAGE);
        const TLoadedPackage* Runtime = Loader.FindPackage("VornData");
        ASSERT_NE(Runtime, nullptr);
        EXPECT_TRUE(Runtime->Implicit());
        EXPECT_EQ(Loader.Packages().front(), Runtime) << "the required package comes first";
        // Used by both packages, each runtime unit still started once.
        EXPECT_EQ(UnitInitializationRuns("Vorn_shared"), SharedRuns + 1);
        EXPECT_EQ(UnitInitializationRuns("DBGridTitleSort"), TitleSortRuns + 1);
        EXPECT_EQ(InitializedUnits().back(), "DBGridTitleSort_Design");
        EXPECT_EQ(PropertyEditorRegistrationCount(), 1);

        try {
            Loader.UnloadPackage("VornData");
            ADD_FAILURE() << "a required package was unloaded";
        } catch (const EPackageError& Error) {
            EXPECT_EQ(Error.Message(), "UnloadPackage() Package VornData is required by package "
                                       "VornDataDesign");
        }
        EXPECT_THROW(Loader.UnloadPackage("NoSuchPackage"), EPackageError);

        Loader.UnloadPackage("VornDataDesign");
        EXPECT_TRUE(Loader.Packages().empty()) << "the runtime package was loaded only for it";
    }
    EXPECT_EQ(UnitFinalizationRuns("DBGridTitleSort_Design"),
              UnitInitializationRuns("DBGridTitleSort_Design"));
    ExpectNothingLeft();
}

TEST(PackageLoaderTest, TheDesignPackageFailsCleanlyWithoutTheRuntimePackage) {
    const std::filesystem::path Folder =
        std::filesystem::temp_directory_path() / ("vorn-lonely-" + std::to_string(getpid()));
    std::filesystem::create_directories(Folder);
    const std::filesystem::path Copy = Folder / "libVornDataDesign.so";
    std::filesystem::copy_file(VORN_DATA_DESIGN_PACKAGE, Copy);
    {
        TPackageLoader Loader;
        try {
            Loader.LoadPackage(Copy);
            ADD_FAILURE() << "loaded without VornData";
        } catch (const EPackageError& Error) {
            EXPECT_NE(Error.Message().find("Cannot load package " + Copy.string()),
                      std::string::npos)
                << Error.Message();
            EXPECT_NE(Error.Message().find("libVornData.so"), std::string::npos) << Error.Message();
        }
        EXPECT_TRUE(Loader.Packages().empty());
    }
    EXPECT_FALSE(IsMapped(Copy.string()));
    std::filesystem::remove_all(Folder);
    ExpectNothingLeft();
}

TEST(PackageLoaderTest, ALanguageResourceModuleTakesPrecedenceOverThePackagesOwnResources) {
    const TColor Red = 0x0000FF;
    auto CornerOf = [](TPackageLoader& Loader, const char* ClassName) {
        return Loader.PaletteImage(FindClass(ClassName))->Pixels(0, 0);
    };
    {
        TPackageLoader Loader("TST");
        const TLoadedPackage& Package = Loader.LoadPackage(VORN_DATA_PACKAGE);
        EXPECT_EQ(Package.ResourceModuleFileName(),
                  std::filesystem::weakly_canonical(VORN_TEST_RESOURCE_MODULE));
        EXPECT_TRUE(IsMapped(VORN_TEST_RESOURCE_MODULE));
        EXPECT_EQ(CornerOf(Loader, "TDBGridTitleSort"), Red);
        // What the resource module lacks comes from the package itself.
        EXPECT_NE(CornerOf(Loader, "TDBLocateEdit"), Red);
        EXPECT_TRUE(FindResource("VornData", "DELETEFILTERROW", RT_BITMAP));
    }
    EXPECT_FALSE(IsMapped(VORN_TEST_RESOURCE_MODULE));
    {
        TPackageLoader Loader("ENU"); // no such module: the package's own resources
        EXPECT_TRUE(Loader.LoadPackage(VORN_DATA_PACKAGE).ResourceModuleFileName().empty());
        EXPECT_NE(CornerOf(Loader, "TDBGridTitleSort"), Red);
    }
    ExpectNothingLeft();
}

TEST(PackageLoaderTest, FilesThatAreNoPackagesAreRefused) {
    struct TCase {
        std::string FileName;
        std::string MessageStart;
    };
    const std::string Missing = "/nonexistent/libNothing.so";
    const std::vector<TCase> Cases = {
        {Missing, "Cannot load package " + Missing + ": "},
        {VORN_TEST_RESOURCE_MODULE,
         std::filesystem::weakly_canonical(VORN_TEST_RESOURCE_MODULE).string() +
             " is not a package: it does not export Initialize, Finalize and "
             "GetPackageInfoTable"},
    };
    TPackageLoader Loader;
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.FileName);
        try {
            Loader.LoadPackage(Case.FileName);
            ADD_FAILURE() << "loaded";
        } catch (const EPackageError& Error) {
            EXPECT_EQ(Error.Message().substr(0, Case.MessageStart.size()), Case.MessageStart);
        }
        EXPECT_TRUE(Loader.Packages().empty());
        EXPECT_FALSE(IsMapped(VORN_TEST_RESOURCE_MODULE));
    }
}

} // namespace
} // namespace vorn
