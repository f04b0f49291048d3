#include "host/components/model/ClassRegistry.h"
#include "host/designer/FormDesigner.h"
#include "host/designer/PackageLoader.h"
#include "host/designer/PropertyEditorRegistry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vorn {
namespace {

const std::vector<std::string> SampleMasks = {"%t (sorted)", "%t %s", "%t (%i)", "%i: %t"};

// Another class that happens to publish a ClickedTitleMask.
class TOtherMaskHolder : public TComponent {
public:
    using TComponent::TComponent;
    static const TClass& StaticClass() {
        static const TClass Class = [] {
            TClass C("TOtherMaskHolder", &TComponent::StaticClass(),
                     &CreateComponentOf<TOtherMaskHolder>);
            C.AddProperty(MakeProperty("ClickedTitleMask", StringTypeInfo(),
                                       &TOtherMaskHolder::ClickedTitleMask,
                                       &TOtherMaskHolder::SetClickedTitleMask));
            return C;
        }();
        return Class;
    }
    const TClass& ClassType() const override { return StaticClass(); }
    const std::string& ClickedTitleMask() const { return FMask; }
    void SetClickedTitleMask(const std::string& Value) { FMask = Value; }

private:
    std::string FMask;
};

// Both packages loaded and a form with two title sorters open; the form goes first.
class TitleMaskEditorTest : public ::testing::Test {
protected:
    TitleMaskEditorTest() {
        Loader.LoadPackage(VORN_DATA_PACKAGE);
        Loader.LoadPackage(VORN_DATA_DESIGN_PACKAGE);
        Designer = std::make_unique<TFormDesigner>();
        Designer->NewForm("MaskForm");
        Designer->AddComponent("TDBGridTitleSort", "First");
        Designer->AddComponent("TDBGridTitleSort", "Second");
    }
    ~TitleMaskEditorTest() override { Designer.reset(); }

    std::unique_ptr<TPropertyEditor> MaskEditor(const std::vector<std::string>& Names) {
        return Designer->EditProperty(Names, "ClickedTitleMask");
    }
    std::string MaskOf(const std::string& Name) { return MaskEditor({Name})->GetValue(); }

    TPackageLoader Loader;
    std::unique_ptr<TFormDesigner> Designer;
};

TEST_F(TitleMaskEditorTest, TheMaskOffersFourSamplesInOrderAndStoresAnyText) {
    auto Editor = MaskEditor({"First"});
    EXPECT_EQ(Editor->ClassName(), "TDBGridTitleSortMaskProperty");
    EXPECT_EQ(Editor->GetAttributes().Bits(), 137u);
    EXPECT_EQ(Editor->GetAttributes(),
              (TPropertyAttributes{paValueList, paMultiSelect, paRevertable}));
    EXPECT_EQ(Editor->ValueList(), SampleMasks);
    EXPECT_EQ(Editor->GetName(), "ClickedTitleMask");

    for (const std::string& Typed : {std::string("%q%"), std::string(""), SampleMasks[3]}) {
        Editor->SetValue(Typed);
        EXPECT_EQ(Editor->GetValue(), Typed) << "stored unchanged";
    }
}

TEST_F(TitleMaskEditorTest, OnePickSetsTheMaskOfEverySelectedSorter) {
    auto Editor = MaskEditor({"First", "Second"});
    Editor->SetValue(SampleMasks[1]);
    EXPECT_EQ(MaskOf("First"), "%t %s");
    EXPECT_EQ(MaskOf("Second"), "%t %s");
    EXPECT_TRUE(Editor->AllEqual());
    Editor->Edit(); // the next sample of the list
    EXPECT_EQ(MaskOf("First"), "%t (%i)");
    EXPECT_EQ(MaskOf("Second"), "%t (%i)");
}

TEST_F(TitleMaskEditorTest, OnlyTheMaskOfTitleSortersGetsTheEditor) {
    const TClass& SorterClass = FindClass("TDBGridTitleSort");
    const TPropertyInfo& Mask = *SorterClass.FindProperty("ClickedTitleMask");
    // The sorter's other string property, its name, keeps the host's editor of names.
    EXPECT_EQ(Designer->EditProperty({"First"}, "Name")->ClassName(), "TComponentNameProperty");

    TOtherMaskHolder Other(nullptr);
    EXPECT_EQ(CreatePropertyEditor({&Other}, "ClickedTitleMask", nullptr)->ClassName(),
              "TStringProperty");

    // A descendant of the title sorter inherits the editor of the mask, and another string
    // property it publishes keeps the plain string editor.
    TClass Descendant("TMyTitleSort", &SorterClass);
    Descendant.AddProperty(TPropertyInfo{"Hint", &StringTypeInfo(), {}, {}, std::nullopt});
    const TPropertyEditorClass Plain = &CreatePropertyEditorOf<TStringProperty>;
    EXPECT_NE(EditorClassFor(Mask, Descendant), Plain);
    EXPECT_EQ(EditorClassFor(Mask, Descendant), EditorClassFor(Mask, SorterClass));
    EXPECT_EQ(EditorClassFor(*Descendant.FindProperty("Hint"), Descendant), Plain);

    Loader.UnloadPackage("VornDataDesign");
    EXPECT_EQ(MaskEditor({"First"})->ClassName(), "TStringProperty");
}

// A package stays while what was made from it lives: its code would go with it.
TEST_F(TitleMaskEditorTest, APackageInUseIsNotUnloaded) {
    const auto ExpectInUse = [&](const std::string& Package, int Uses) {
        try {
            Loader.UnloadPackage(Package);
            ADD_FAILURE() << Package << " was unloaded";
        } catch (const EPackageError& Error) {
            EXPECT_EQ(Error.Message(), "UnloadPackage() Package " + Package + " is in use by " +
                                           std::to_string(Uses) +
                                           " component(s) or editor(s) made from it; free "
                                           "them first");
        }
        EXPECT_NE(Loader.FindPackage(Package), nullptr);
    };
    auto Editor = MaskEditor({"First"});
    ExpectInUse("VornDataDesign", 1);
    Editor->SetValue("%t %s");
    EXPECT_EQ(Editor->GetValue(), "%t %s");
    Editor.reset();
    Loader.UnloadPackage("VornDataDesign");

    ExpectInUse("VornData", 2);
    EXPECT_THROW(Loader.UnloadAll(), EPackageError);
    EXPECT_EQ(Loader.Packages().size(), 1u);
    Designer->CloseForm();
    Loader.UnloadPackage("VornData");
    EXPECT_TRUE(Loader.Packages().empty());
}

} // namespace
} // namespace vorn
