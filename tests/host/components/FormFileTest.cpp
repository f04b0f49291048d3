#include "host/components/forms/FormFile.h"
#include "host/components/controls/Button.h"
#include "host/components/controls/ComboBox.h"
#include "host/components/controls/Edit.h"
#include "host/components/controls/Form.h"
#include "host/components/controls/Grid.h"
#include "host/components/graphics/Bitmap.h"
#include "host/components/graphics/Graphics.h"
#include "host/components/model/ClassRegistry.h"
#include "host/components/model/StreamableCollection.h"
#include "host/components/model/Strings.h"

#include "tests/support/CodePageGuard.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace vorn;

namespace {

std::vector<std::string> Log;

enum TTestShape { tsCircle, tsSquare, tsTriangle };
enum TTestOption { toBold, toWide, toFramed };
using TTestOptions = TSet<TTestOption>;

const TTypeInfo& ShapeTypeInfo() {
    static const TTypeInfo Info{
        "TTestShape", tkEnumeration, {"tsCircle", "tsSquare", "tsTriangle"}};
    return Info;
}

const TTypeInfo& OptionsTypeInfo() {
    static const TTypeInfo Info{"TTestOptions", tkSet, {"toBold", "toWide", "toFramed"}};
    return Info;
}

const TTypeInfo& EventTypeInfo() {
    static const TTypeInfo Info{"TNotifyEvent", tkMethod, {}};
    return Info;
}

// An item of a streamable collection.
class TTestColumn : public TPersistent {
public:
    static const TClass& StaticClass() {
        static const TClass Class = [] {
            TClass C("TTestColumn", &TPersistent::StaticClass());
            C.AddProperty(MakeProperty("Title", StringTypeInfo(), &TTestColumn::Title,
                                       &TTestColumn::SetTitle));
            C.AddProperty(MakeProperty("Width", IntegerTypeInfo(), &TTestColumn::Width,
                                       &TTestColumn::SetWidth));
            return C;
        }();
        return Class;
    }
    const TClass& ClassType() const override { return StaticClass(); }

    std::string Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }
    int Width() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }

private:
    std::string FTitle;
    int FWidth = 64;
};

class TTestColumns : public TPersistent, public IStreamableCollection {
public:
    static const TClass& StaticClass() {
        static const TClass Class("TTestColumns", &TPersistent::StaticClass());
        return Class;
    }
    const TClass& ClassType() const override { return StaticClass(); }

    int StreamItemCount() const override { return static_cast<int>(FItems.size()); }
    TObject& StreamItem(int Index) const override { return *FItems.at(Index); }
    TObject& AddStreamItem() override { return *FItems.emplace_back(new TTestColumn); }
    void ClearStreamItems() override { FItems.clear(); }
    TTestColumn& Column(int Index) const { return *FItems.at(Index); }

private:
    std::vector<std::unique_ptr<TTestColumn>> FItems;
};

const TTypeInfo& ColumnsTypeInfo() {
    static const TTypeInfo Info{"TTestColumns", tkObject, {}, &TTestColumns::StaticClass()};
    return Info;
}

// What a panel's Link may refer to. (A class's own type information cannot name the class
// while the class is still being built.)
class TTestBase : public TComponent {
public:
    using TComponent::TComponent;
    static const TClass& StaticClass() {
        static const TClass Class("TTestBase", &TComponent::StaticClass());
        return Class;
    }
    const TClass& ClassType() const override { return StaticClass(); }
};

// A component with a published property of every kind. It counts its live instances so
// that tests can tell that a failed read freed everything it created.
class TTestPanel : public TTestBase {
public:
    explicit TTestPanel(TComponent* AOwner) : TTestBase(AOwner) { ++LiveCount; }
    ~TTestPanel() override { --LiveCount; }

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    int Count() const { return FCount; }
    void SetCount(int Value) {
        if (Value < 0)
            throw Exception("SetCount() Count must not be negative");
        FCount = Value;
    }
    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    TTestShape Shape() const { return FShape; }
    void SetShape(TTestShape Value) { FShape = Value; }
    TTestOptions Options() const { return FOptions; }
    void SetOptions(TTestOptions Value) { FOptions = Value; }
    std::string Caption() const { return FCaption; }
    void SetCaption(const std::string& Value) {
        Log.push_back("caption " + Name() +
                      (ComponentState().Contains(csLoading) ? " while loading" : " not loading"));
        FCaption = Value;
    }
    TTestBase* Link() const { return FLink; }
    void SetLink(TTestBase* Value) { FLink = Value; }
    TColor Tint() const { return FTint; }
    void SetTint(TColor Value) { FTint = Value; }
    TFont* Font() const { return FFont.get(); }
    TStrings* Lines() const { return FLines.get(); }
    TTestColumns* Columns() const { return FColumns.get(); }
    TBitmap* Glyph() const { return FGlyph.get(); }

    void Loaded() override {
        Log.push_back("loaded " + Name() + " link " +
                      (FLink != nullptr ? FLink->Name() : std::string("none")));
        TComponent::Loaded();
        if (FCaption == "refuse Loaded")
            throw Exception("Loaded() The caption says no");
    }

    TNotifyEvent OnChange;
    static inline int LiveCount = 0;

private:
    int FCount = 0;
    bool FActive = false;
    TTestShape FShape = tsCircle;
    TTestOptions FOptions;
    std::string FCaption;
    TTestBase* FLink = nullptr;
    TColor FTint = clBtnFace;
    std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
    std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
    std::unique_ptr<TTestColumns> FColumns = std::make_unique<TTestColumns>();
    std::unique_ptr<TBitmap> FGlyph = std::make_unique<TBitmap>();
};

const TTypeInfo& PanelReferenceTypeInfo() {
    static const TTypeInfo Info{"TTestBase", tkComponent, {}, &TTestBase::StaticClass()};
    return Info;
}

const TClass& TTestPanel::StaticClass() {
    static const TClass Class = [] {
        TClass C("TTestPanel", &TTestBase::StaticClass(), &CreateComponentOf<TTestPanel>);
        C.AddProperty(
            MakeProperty("Count", IntegerTypeInfo(), &TTestPanel::Count, &TTestPanel::SetCount));
        C.AddProperty(
            MakeProperty("Active", BooleanTypeInfo(), &TTestPanel::Active, &TTestPanel::SetActive));
        C.AddProperty(
            MakeProperty("Shape", ShapeTypeInfo(), &TTestPanel::Shape, &TTestPanel::SetShape));
        C.AddProperty(MakeProperty("Options", OptionsTypeInfo(), &TTestPanel::Options,
                                   &TTestPanel::SetOptions));
        C.AddProperty(MakeProperty("Caption", StringTypeInfo(), &TTestPanel::Caption,
                                   &TTestPanel::SetCaption));
        C.AddProperty(MakeProperty("Link", PanelReferenceTypeInfo(), &TTestPanel::Link,
                                   &TTestPanel::SetLink));
        C.AddProperty(
            MakeProperty("Tint", ColorTypeInfo(), &TTestPanel::Tint, &TTestPanel::SetTint));
        C.AddProperty(MakeSubObjectProperty("Font", FontTypeInfo(), &TTestPanel::Font));
        C.AddProperty(MakeSubObjectProperty("Lines", StringsTypeInfo(), &TTestPanel::Lines));
        C.AddProperty(MakeSubObjectProperty("Columns", ColumnsTypeInfo(), &TTestPanel::Columns));
        C.AddProperty(MakeSubObjectProperty("Glyph", BitmapTypeInfo(), &TTestPanel::Glyph));
        C.AddProperty(MakeEventProperty("OnChange", EventTypeInfo(), &TTestPanel::OnChange));
        return C;
    }();
    return Class;
}

// A component of another class, to refer to with the wrong type.
class TTestLabel : public TComponent {
public:
    using TComponent::TComponent;
    static const TClass& StaticClass() {
        static const TClass Class("TTestLabel", &TComponent::StaticClass(),
                                  &CreateComponentOf<TTestLabel>);
        return Class;
    }
    const TClass& ClassType() const override { return StaticClass(); }
};

// A panel that creates a named component of its own, as a grid creates its in-cell editor.
class TTestFrame : public TTestPanel {
public:
    explicit TTestFrame(TComponent* AOwner) : TTestPanel(AOwner) {
        (new TTestPanel(this))->SetName("Header");
    }
    static const TClass& StaticClass() {
        static const TClass Class("TTestFrame", &TTestPanel::StaticClass(),
                                  &CreateComponentOf<TTestFrame>);
        return Class;
    }
    const TClass& ClassType() const override { return StaticClass(); }
};

const TClass& AbstractClass() {
    static const TClass Class("TTestAbstract", &TComponent::StaticClass());
    return Class;
}

const char* const TestModule = "FormFileTest";

class FormFile : public ::testing::Test {
protected:
    // The texts below are written in Windows-1250.
    test::TCodePageGuard CodePage{cpWindows1250};
    void SetUp() override {
        TRegistrationModuleScope Scope(TestModule);
        RegisterClass(TTestPanel::StaticClass());
        RegisterClass(TTestLabel::StaticClass());
        RegisterClass(TTestFrame::StaticClass());
        RegisterClass(AbstractClass());
        Log.clear();
    }
    void TearDown() override {
        UnregisterModule(TestModule);
        EXPECT_EQ(TTestPanel::LiveCount, 0);
    }
};

TTestPanel* AddPanel(TComponent* Owner, const std::string& Name) {
    auto* Panel = new TTestPanel(Owner);
    Panel->SetName(Name);
    return Panel;
}

// Form1 { Inner { Deep } }, every property set to something other than its default,
// references forward (Form1 -> Deep) and backward (Deep -> Form1).
std::unique_ptr<TTestPanel> BuildSampleForm() {
    auto Root = std::make_unique<TTestPanel>(nullptr);
    Root->SetName("Form1");
    TTestPanel* Inner = AddPanel(Root.get(), "Inner");
    TTestPanel* Deep = AddPanel(Inner, "Deep");
    Root->SetCount(42);
    Root->SetActive(true);
    Root->SetShape(tsTriangle);
    Root->SetOptions({toBold, toFramed});
    Root->SetCaption("Pretra\x9Eivanje \x8A\x9A\xF0\xD0\xE8\xC8\xE6\xC6\x9E\x8E");
    Root->SetLink(Deep);
    Root->SetTint(clRed);
    Root->Font()->SetName("Serif");
    Root->Font()->SetSize(12);
    Root->Font()->SetStyle({fsItalic});
    Root->Font()->SetColor(clHighlight);
    Root->Lines()->Add("first");
    Root->Lines()->Add("\xE8"
                       "etvrti");
    Root->Lines()->Add("");
    auto& Column = dynamic_cast<TTestColumn&>(Root->Columns()->AddStreamItem());
    Column.SetTitle("Ime");
    Column.SetWidth(120);
    Root->Columns()->AddStreamItem();
    Root->Glyph()->SetSize(2, 1); // 62 bytes of BMP data: the base64 text ends in padding
    Root->Glyph()->SetPixel(0, 0, clRed);
    Root->Glyph()->SetPixel(1, 0, RGB(1, 2, 3));
    Inner->SetCount(7);
    Deep->SetLink(Root.get());
    Deep->SetShape(tsSquare);
    return Root;
}

std::unique_ptr<TTestPanel> ReadPanel(const std::string& Json) {
    std::unique_ptr<TComponent> Root = ReadForm(Json);
    auto* Panel = dynamic_cast<TTestPanel*>(Root.get());
    if (Panel == nullptr)
        throw std::runtime_error("the root is not a TTestPanel");
    Root.release();
    return std::unique_ptr<TTestPanel>(Panel);
}

std::string ReadError(const std::string& Json) {
    try {
        ReadForm(Json);
    } catch (const EReadError& E) {
        return E.Message();
    }
    return "no error";
}

} // namespace

TEST_F(FormFile, RoundTripKeepsEveryKindOfProperty) {
    const std::string Written = WriteForm(*BuildSampleForm());
    std::unique_ptr<TTestPanel> Root = ReadPanel(Written);

    EXPECT_EQ(Root->Name(), "Form1");
    EXPECT_EQ(Root->Count(), 42);
    EXPECT_TRUE(Root->Active());
    EXPECT_EQ(Root->Shape(), tsTriangle);
    EXPECT_EQ(Root->Options(), (TTestOptions{toBold, toFramed}));
    EXPECT_EQ(Root->Caption(), "Pretra\x9Eivanje \x8A\x9A\xF0\xD0\xE8\xC8\xE6\xC6\x9E\x8E");
    EXPECT_EQ(Root->Tint(), clRed);
    EXPECT_EQ(Root->Font()->Name(), "Serif");
    EXPECT_EQ(Root->Font()->Size(), 12);
    EXPECT_EQ(Root->Font()->Style(), TFontStyles{fsItalic});
    EXPECT_EQ(Root->Font()->Color(), clHighlight);
    ASSERT_EQ(Root->Lines()->Count(), 3);
    EXPECT_EQ(Root->Lines()->Text(), "first\n\xE8"
                                     "etvrti\n\n");
    ASSERT_EQ(Root->Columns()->StreamItemCount(), 2);
    EXPECT_EQ(Root->Columns()->Column(0).Title(), "Ime");
    EXPECT_EQ(Root->Columns()->Column(0).Width(), 120);
    EXPECT_EQ(Root->Columns()->Column(1).Width(), 64);
    ASSERT_EQ(Root->Glyph()->Width(), 2);
    ASSERT_EQ(Root->Glyph()->Height(), 1);
    EXPECT_EQ(Root->Glyph()->Pixels(0, 0), clRed);
    EXPECT_EQ(Root->Glyph()->Pixels(1, 0), RGB(1, 2, 3));

    ASSERT_EQ(Root->ComponentCount(), 1);
    auto* Inner = dynamic_cast<TTestPanel*>(Root->Components(0));
    ASSERT_NE(Inner, nullptr);
    EXPECT_EQ(Inner->Name(), "Inner");
    EXPECT_EQ(Inner->Count(), 7);
    EXPECT_EQ(Inner->Link(), nullptr);
    ASSERT_EQ(Inner->ComponentCount(), 1);
    auto* Deep = dynamic_cast<TTestPanel*>(Inner->Components(0));
    ASSERT_NE(Deep, nullptr);
    EXPECT_EQ(Root->Link(), Deep);
    EXPECT_EQ(Deep->Link(), Root.get());
    EXPECT_EQ(Deep->Shape(), tsSquare);
    EXPECT_FALSE(Root->ComponentState().Contains(csLoading));
    EXPECT_FALSE(Deep->ComponentState().Contains(csLoading));

    // Writing what was read gives the same text.
    EXPECT_EQ(WriteForm(*Root), Written);
}

TEST_F(FormFile, WritesOneObjectPerComponentWithPropertiesInPublishedOrder) {
    const auto Json = nlohmann::ordered_json::parse(WriteForm(*BuildSampleForm()));
    std::vector<std::string> Keys;
    for (const auto& [Key, Value] : Json.items())
        Keys.push_back(Key);
    EXPECT_EQ(Keys, (std::vector<std::string>{"class", "name", "properties", "components"}));
    EXPECT_EQ(Json["class"], "TTestPanel");
    Keys.clear();
    for (const auto& [Key, Value] : Json["properties"].items())
        Keys.push_back(Key);
    // The name is the object's "name"; events are never written.
    EXPECT_EQ(Keys,
              (std::vector<std::string>{"Count", "Active", "Shape", "Options", "Caption", "Link",
                                        "Tint", "Font", "Lines", "Columns", "Glyph"}));
    const auto& Properties = Json["properties"];
    EXPECT_EQ(Properties["Shape"], "tsTriangle");
    EXPECT_EQ(Properties["Options"], nlohmann::ordered_json::parse(R"(["toBold", "toFramed"])"));
    EXPECT_EQ(Properties["Caption"], "Pretra\u017Eivanje \u0160\u0161\u0111\u0110\u010D\u010C"
                                     "\u0107\u0106\u017E\u017D");
    EXPECT_EQ(Properties["Link"], "Deep");
    EXPECT_EQ(Properties["Tint"], 255);
    EXPECT_EQ(Properties["Font"]["Style"], nlohmann::ordered_json::parse(R"(["fsItalic"])"));
    EXPECT_EQ(Properties["Lines"][1], "\u010Detvrti");
    EXPECT_EQ(Properties["Columns"][0]["Title"], "Ime");
    EXPECT_EQ(Properties["Glyph"].get<std::string>().substr(0, 4), "Qk0+"); // "BM", 62 bytes
    EXPECT_EQ(Json["components"][0]["properties"]["Glyph"], "");            // an empty bitmap
    EXPECT_EQ(Json["components"][0]["name"], "Inner");
    EXPECT_EQ(Json["components"][0]["properties"]["Link"], nullptr);
    EXPECT_EQ(Json["components"][0]["components"][0]["name"], "Deep");
}

TEST_F(FormFile, PropertiesAreAppliedWhileLoadingAndLoadedFollowsInCreationOrder) {
    const std::string Written = WriteForm(*BuildSampleForm());
    Log.clear();
    std::unique_ptr<TTestPanel> Root = ReadPanel(Written);
    // Every caption is set while loading; Loaded comes after every reference is resolved
    // (Form1's refers forward to Deep), owner before owned.
    EXPECT_EQ(
        Log, (std::vector<std::string>{"caption Form1 while loading", "caption Inner while loading",
                                       "caption Deep while loading", "loaded Form1 link Deep",
                                       "loaded Inner link none", "loaded Deep link Form1"}));
}

TEST_F(FormFile, ComponentsAnOwnerCreatesItselfAreReadIntoNotDuplicated) {
    TTestFrame Frame(nullptr);
    Frame.SetName("Frame1");
    dynamic_cast<TTestPanel&>(*Frame.FindComponent("Header")).SetCaption("Title");
    AddPanel(&Frame, "Body")->SetLink(dynamic_cast<TTestPanel*>(Frame.FindComponent("Header")));
    const std::string Written = WriteForm(Frame);

    std::unique_ptr<TComponent> Copy = ReadForm(Written);
    ASSERT_EQ(Copy->ComponentCount(), 2);
    auto* Header = dynamic_cast<TTestPanel*>(Copy->Components(0));
    auto* Body = dynamic_cast<TTestPanel*>(Copy->Components(1));
    ASSERT_NE(Header, nullptr);
    ASSERT_NE(Body, nullptr);
    EXPECT_EQ(Header->Caption(), "Title");
    EXPECT_EQ(Body->Link(), Header);
    EXPECT_FALSE(Header->ComponentState().Contains(csLoading));
    EXPECT_EQ(WriteForm(*Copy), Written);
}

namespace {

// A small valid form around one child entry, to break in one place at a time.
std::string FormWithChild(const std::string& Child) {
    return R"({"class": "TTestPanel", "name": "Form1", "properties": {"Count": 1},
              "components": [{"class": "TTestPanel", "name": "Ok", "properties": {}}, )" +
           Child + "]}";
}

struct TFailureCase {
    const char* Label;
    std::string Json;
    std::string Message;
};

} // namespace

TEST_F(FormFile, EveryReadingFailureNamesItsPlaceAndLeavesNothingBehind) {
    const std::string Prefix = "Error reading form file";
    const TFailureCase Cases[] = {
        {.Label = "malformed JSON",
         .Json = "{\"class\": \"TTestPanel\",\n  \"name\": \"Form1\",,\n}",
         .Message = Prefix +
                    ": invalid JSON at line 2, column 19: syntax error while parsing object key - "
                    "unexpected ','; expected string literal"},
        {.Label = "key given twice",
         .Json = FormWithChild(R"({"class": "TTestPanel", "name": "A",
             "properties": {"Count": 1, "Count": 2}})"),
         .Message =
             Prefix + " at /components/1/properties/Count: the key \"Count\" is given twice"},
        {.Label = "not an object",
         .Json = "[1, 2]",
         .Message = Prefix + ": expected a component object, found an array"},
        {.Label = "missing class",
         .Json = FormWithChild(R"({"name": "A"})"),
         .Message = Prefix + " at /components/1: the component has no \"class\""},
        {.Label = "unknown key",
         .Json = FormWithChild(R"({"class": "TTestPanel", "colour": 1})"),
         .Message = Prefix + " at /components/1/colour: unknown key \"colour\""},
        {.Label = "unknown class",
         .Json = FormWithChild(R"({"class": "TNoSuchThing", "name": "A"})"),
         .Message = Prefix + " at /components/1/class: Class TNoSuchThing not found"},
        {.Label = "class that cannot be created",
         .Json = FormWithChild(R"({"class": "TTestAbstract"})"),
         .Message =
             Prefix + " at /components/1/class: the class TTestAbstract cannot be created by name"},
        {.Label = "unknown property",
         .Json = FormWithChild(R"({"class": "TTestPanel", "properties": {"Colour": 1}})"),
         .Message = Prefix +
                    " at /components/1/properties/Colour (TTestPanel.Colour): TTestPanel has no "
                    "published property Colour"},
        {.Label = "unknown sub-object property",
         .Json =
             FormWithChild(R"({"class": "TTestPanel", "properties": {"Font": {"Bold": true}}})"),
         .Message = Prefix +
                    " at /components/1/properties/Font/Bold (TFont.Bold): TFont has no published "
                    "property Bold"},
        {.Label = "string for an integer",
         .Json = FormWithChild(R"({"class": "TTestPanel", "properties": {"Count": "12"}})"),
         .Message = Prefix +
                    " at /components/1/properties/Count (TTestPanel.Count): expected an integer, "
                    "found a string"},
        {.Label = "fraction for an integer",
         .Json = FormWithChild(R"({"class": "TTestPanel", "properties": {"Count": 1.5}})"),
         .Message = Prefix +
                    " at /components/1/properties/Count (TTestPanel.Count): expected an integer, "
                    "found a fractional number"},
        {.Label = "integer too large for the property",
         .Json = FormWithChild(R"({"class": "TTestPanel", "properties": {"Count": 4294967296}})"),
         .Message = Prefix +
                    " at /components/1/properties/Count (TTestPanel.Count): Property Count value "
                    "4294967296 is out of range"},
        {.Label = "integer beyond 64 bits",
         .Json = FormWithChild(
             R"({"class": "TTestPanel", "properties": {"Count": 18446744073709551615}})"),
         .Message =
             Prefix +
             " at /components/1/properties/Count (TTestPanel.Count): 18446744073709551615 is "
             "out of range"},
        {.Label = "number for a boolean",
         .Json = FormWithChild(R"({"class": "TTestPanel", "properties": {"Active": 1}})"),
         .Message = Prefix +
                    " at /components/1/properties/Active (TTestPanel.Active): expected true or "
                    "false, found an integer"},
        {.Label = "unknown enumeration member",
         .Json = FormWithChild(R"({"class": "TTestPanel", "properties": {"Shape": "tsHexagon"}})"),
         .Message = Prefix +
                    " at /components/1/properties/Shape (TTestPanel.Shape): \"tsHexagon\" is not a "
                    "value of TTestShape"},
        {.Label = "unknown set member",
         .Json = FormWithChild(
             R"({"class": "TTestPanel", "properties": {"Options": ["toBold", "toTall"]}})"),
         .Message =
             Prefix +
             " at /components/1/properties/Options/1 (TTestPanel.Options): \"toTall\" is not "
             "a member of TTestOptions"},
        {.Label = "set as a string",
         .Json = FormWithChild(R"({"class": "TTestPanel", "properties": {"Options": "toBold"}})"),
         .Message = Prefix +
                    " at /components/1/properties/Options (TTestPanel.Options): expected an array "
                    "of member names of TTestOptions, found a string"},
        {.Label = "strings with a number",
         .Json = FormWithChild(R"({"class": "TTestPanel", "properties": {"Lines": ["a", 2]}})"),
         .Message = Prefix +
                    " at /components/1/properties/Lines/1 (TTestPanel.Lines): expected a string, "
                    "found an integer"},
        {.Label = "collection item of the wrong type",
         .Json = FormWithChild(
             R"({"class": "TTestPanel", "properties": {"Columns": [{"Width": "x"}]}})"),
         .Message = Prefix +
                    " at /components/1/properties/Columns/0/Width (TTestColumn.Width): expected an "
                    "integer, found a string"},
        {.Label = "bitmap text that is not base64",
         .Json = FormWithChild(R"({"class": "TTestPanel", "properties": {"Glyph": "Qk0=A"}})"),
         .Message = Prefix +
                    " at /components/1/properties/Glyph (TTestPanel.Glyph): the bitmap's text is "
                    "not valid base64"},
        {.Label = "bitmap padding inside the text",
         .Json = FormWithChild(R"({"class": "TTestPanel", "properties": {"Glyph": "Qk==Qk0+"}})"),
         .Message = Prefix +
                    " at /components/1/properties/Glyph (TTestPanel.Glyph): the bitmap's text is "
                    "not valid base64"},
        {.Label = "event handler in the file",
         .Json = FormWithChild(R"({"class": "TTestPanel", "properties": {"OnChange": "Handler"}})"),
         .Message = Prefix +
                    " at /components/1/properties/OnChange (TTestPanel.OnChange): an event handler "
                    "cannot be read from a form file"},
        {.Label = "dangling reference",
         .Json = FormWithChild(R"({"class": "TTestPanel", "properties": {"Link": "Nowhere"}})"),
         .Message = Prefix +
                    " at /components/1/properties/Link (TTestPanel.Link): no component named "
                    "Nowhere in the form"},
        {.Label = "reference of the wrong class",
         .Json = FormWithChild(R"({"class": "TTestLabel", "name": "Label1"},
                          {"class": "TTestPanel", "properties": {"Link": "Label1"}})"),
         .Message = Prefix +
                    " at /components/2/properties/Link (TTestPanel.Link): Label1 is a TTestLabel, "
                    "not a TTestBase"},
        {.Label = "duplicate name",
         .Json = FormWithChild(R"({"class": "TTestPanel", "name": "ok"})"),
         .Message =
             Prefix + " at /components/1/name: the name ok is given twice in TTestPanel Form1"},
        {.Label = "invalid name",
         .Json = FormWithChild(R"({"class": "TTestPanel", "name": "2nd"})"),
         .Message = Prefix + " at /components/1/name: '2nd' is not a valid component name"},
        {.Label = "Loaded raising",
         .Json = FormWithChild(R"({"class": "TTestPanel", "name": "A",
                           "properties": {"Caption": "refuse Loaded"}})"),
         .Message = Prefix + ": Loaded failed for TTestPanel A: Loaded() The caption says no"},
        {.Label = "value the setter rejects",
         .Json = FormWithChild(R"({"class": "TTestPanel", "properties": {"Count": -1}})"),
         .Message = Prefix +
                    " at /components/1/properties/Count (TTestPanel.Count): SetCount() Count must "
                    "not be negative"},
        {.Label = "setter of a sub-object rejects",
         .Json = FormWithChild(R"({"class": "TTestPanel", "properties": {"Font": {"Size": 0}}})"),
         .Message = ""},
    };
    std::string Nested = R"({"class": "TTestPanel"})";
    for (int Level = 0; Level < 300; ++Level)
        Nested = R"({"class": "TTestPanel", "components": [)" + Nested + "]}";
    const std::string DeepPointer = [] {
        std::string Pointer;
        for (int Level = 0; Level < 257; ++Level)
            Pointer += "/components/0";
        return Pointer;
    }();
    const TFailureCase Limits[] = {
        {.Label = "components nested too deep",
         .Json = Nested,
         .Message = Prefix + " at " + DeepPointer + ": components are nested more than 256 deep"},
        {.Label = "text that is not UTF-8",
         .Json = FormWithChild("{\"class\": \"TTestPanel\", \"name\": \"\xC3(\"}"),
         .Message = Prefix +
                    ": invalid JSON at line 2, column 121: syntax error while parsing value - "
                    "invalid string: ill-formed UTF-8 byte; last read: '\"\xC3('"},
        {.Label = "empty text",
         .Json = "",
         .Message = Prefix + ": invalid JSON at line 1, column 1: syntax error while "
                             "parsing value - unexpected end of input; expected '[', '{', or a "
                             "literal"},
    };
    for (const TFailureCase& Case : Limits) {
        EXPECT_EQ(ReadError(Case.Json), Case.Message) << Case.Label;
        EXPECT_EQ(TTestPanel::LiveCount, 0) << Case.Label;
    }
    for (const TFailureCase& Case : Cases) {
        const std::string Message = ReadError(Case.Json);
        if (Case.Message.empty()) // the setter's own words are not ours to fix
            EXPECT_EQ(
                Message.rfind(Prefix + " at /components/1/properties/Font/Size (TFont.Size): ", 0),
                0u)
                << Case.Label << ": " << Message;
        else
            EXPECT_EQ(Message, Case.Message) << Case.Label;
        EXPECT_EQ(TTestPanel::LiveCount, 0) << Case.Label;
    }
}

TEST_F(FormFile, ReadingIntoAnExistingRootFillsItOrLeavesItAsItWas) {
    TTestFrame Frame(nullptr);
    Frame.SetName("Frame1");
    Frame.SetCount(3);
    Frame.Lines()->Add("kept");
    dynamic_cast<TTestColumn&>(Frame.Columns()->AddStreamItem()).SetTitle("Kept");
    Frame.Glyph()->SetSize(1, 1);
    auto* Header = dynamic_cast<TTestPanel*>(Frame.FindComponent("Header"));
    Header->SetCaption("Original");

    const std::string Good = R"({"class": "TTestFrame", "name": "Frame2",
        "properties": {"Count": 9, "Lines": ["new"], "Link": "Body", "Glyph": "",
                       "Columns": [{"Title": "New"}, {"Width": 1}]},
        "components": [{"class": "TTestPanel", "name": "Header", "properties": {"Caption": "New"}},
                       {"class": "TTestPanel", "name": "Body", "properties": {"Count": 5}}]})";
    std::string Bad = Good;
    Bad.replace(Bad.find("\"Count\": 5"), 10, "\"Link\": \"Missing\"");

    const std::string Before = WriteForm(Frame);
    try {
        ReadFormInto(Frame, Bad);
        FAIL() << "no exception";
    } catch (const EReadError& E) {
        EXPECT_EQ(E.Message(), "Error reading form file at /components/1/properties/Link "
                               "(TTestPanel.Link): no component named Missing in the form");
    }
    EXPECT_EQ(WriteForm(Frame), Before);
    EXPECT_EQ(Frame.ComponentCount(), 1);
    EXPECT_FALSE(Frame.ComponentState().Contains(csLoading));
    EXPECT_FALSE(Header->ComponentState().Contains(csLoading));
    EXPECT_THROW(ReadFormInto(Frame, R"({"class": "TTestPanel", "name": "X"})"), EReadError);
    EXPECT_EQ(WriteForm(Frame), Before);

    ReadFormInto(Frame, Good);
    EXPECT_EQ(Frame.Name(), "Frame2");
    EXPECT_EQ(Frame.Count(), 9);
    EXPECT_EQ(Frame.Lines()->Text(), "new\n");
    EXPECT_TRUE(Frame.Glyph()->Empty());
    ASSERT_EQ(Frame.Columns()->StreamItemCount(), 2);
    EXPECT_EQ(Frame.Columns()->Column(0).Title(), "New");
    EXPECT_EQ(Header->Caption(), "New");
    ASSERT_EQ(Frame.ComponentCount(), 2);
    EXPECT_EQ(Frame.Link(), Frame.Components(1));
    EXPECT_FALSE(Frame.ComponentState().Contains(csLoading));
}

TEST_F(FormFile, WritingRefusesWhatCouldNotBeReadBack) {
    TTestPanel Outsider(nullptr);
    Outsider.SetName("Outsider");
    std::unique_ptr<TTestPanel> Root = BuildSampleForm();
    TTestPanel* Inner = dynamic_cast<TTestPanel*>(Root->Components(0));
    struct {
        const char* Label;
        std::function<void()> Break;
        std::string Message;
    } Cases[] = {
        {"reference outside the form", [&] { Inner->SetLink(&Outsider); },
         "Error writing Form1.Inner.Link (TTestPanel.Link): the component referred to (TTestPanel "
         "Outsider) cannot be found by its name within the form"},
        {"reference to a component without name", [&] { Inner->SetLink(AddPanel(Inner, "")); },
         "Error writing Form1.Inner.Link (TTestPanel.Link): the component referred to (TTestPanel "
         "without name) cannot be found by its name within the form"},
        {"enumeration value without name", [&] { Inner->SetShape(static_cast<TTestShape>(3)); },
         "Error writing Form1.Inner.Shape (TTestPanel.Shape): 3 is not a value of TTestShape"},
    };
    for (auto& Case : Cases) {
        std::unique_ptr<TTestPanel> Fresh = BuildSampleForm();
        Inner = dynamic_cast<TTestPanel*>(Fresh->Components(0));
        Case.Break();
        try {
            WriteForm(*Fresh);
            ADD_FAILURE() << Case.Label << ": no exception";
        } catch (const EWriteError& E) {
            EXPECT_EQ(E.Message(), Case.Message) << Case.Label;
        }
    }
}

TEST_F(FormFile, FilesRoundTripAndFailuresNameTheFile) {
    const std::filesystem::path Folder =
        std::filesystem::temp_directory_path() / ("vorn-formfile-" + std::to_string(::getpid()));
    std::filesystem::create_directories(Folder);
    const std::filesystem::path Path = Folder / "Form1.json";

    std::unique_ptr<TTestPanel> Root = BuildSampleForm();
    WriteFormFile(*Root, Path);
    EXPECT_FALSE(std::filesystem::exists(Folder / "Form1.json.tmp"));
    EXPECT_EQ(WriteForm(*ReadFormFile(Path)), WriteForm(*Root));

    // A form that cannot be written leaves the existing file untouched.
    Root->SetShape(static_cast<TTestShape>(3));
    EXPECT_THROW(WriteFormFile(*Root, Path), EWriteError);
    Root->SetShape(tsSquare);
    EXPECT_EQ(dynamic_cast<TTestPanel&>(*ReadFormFile(Path)).Shape(), tsTriangle);

    std::ofstream(Path) << "{\"class\": \"TTestPanel\", \"properties\": {\"Count\": true}}";
    try {
        ReadFormFile(Path);
        ADD_FAILURE() << "no exception";
    } catch (const EReadError& E) {
        EXPECT_EQ(E.Message(), Path.string() +
                                   ": Error reading form file at /properties/Count "
                                   "(TTestPanel.Count): expected an integer, found a boolean");
    }
    EXPECT_THROW(ReadFormFile(Folder / "missing.json"), EReadError);
    EXPECT_THROW(WriteFormFile(*Root, Folder / "no-such-folder" / "x.json"), EWriteError);
    std::filesystem::remove_all(Folder);
}

TEST_F(FormFile, HostControlsRoundTripWithTheirParents) {
    RegisterHostClasses();
    RegisterHostClasses(); // a second call changes nothing
    TForm Form(nullptr);
    Form.SetName("MainForm");
    Form.SetCaption("Pretra\x9Eivanje");
    auto* Grid = new TStringGrid(&Form);
    Grid->SetName("Grid");
    Grid->SetParent(&Form);
    Grid->SetColCount(4);
    Grid->SetRowCount(6);
    Grid->SetOptions(Grid->Options() + TGridOptions{goEditing});
    auto* Combo = new TComboBox(&Form);
    Combo->SetName("Combo");
    Combo->SetParent(&Form);
    Combo->Items()->Add("jedan");
    Combo->Items()->Add("\x9A"
                        "est");
    Combo->SetItemIndex(1);
    auto* Edit = new TEdit(&Form);
    Edit->SetName("Edit");
    Edit->SetParent(Grid); // not its owner: the file must say so
    Edit->SetText("tekst");
    Edit->SetBounds(5, 6, 70, 20);
    auto* Button = new TSpeedButton(&Form);
    Button->SetName("Button");
    Button->SetParent(&Form);
    Button->SetCaption("Go");
    Button->Glyph()->SetSize(2, 2);
    (new TSpeedButton(&Form))->SetName("Unplaced"); // owned by the form, in no parent
    const std::string Written = WriteForm(Form);

    std::unique_ptr<TComponent> Copy = ReadForm(Written);
    auto* Form2 = dynamic_cast<TForm*>(Copy.get());
    ASSERT_NE(Form2, nullptr);
    EXPECT_EQ(Form2->Caption(), "Pretra\x9Eivanje");
    auto* Grid2 = dynamic_cast<TStringGrid*>(Form2->FindComponent("Grid"));
    auto* Combo2 = dynamic_cast<TComboBox*>(Form2->FindComponent("Combo"));
    auto* Edit2 = dynamic_cast<TEdit*>(Form2->FindComponent("Edit"));
    auto* Button2 = dynamic_cast<TSpeedButton*>(Form2->FindComponent("Button"));
    ASSERT_TRUE(Grid2 && Combo2 && Edit2 && Button2);
    EXPECT_EQ(Grid2->Parent(), Form2);
    EXPECT_EQ(Edit2->Parent(), Grid2);
    EXPECT_EQ(Button2->Parent(), Form2);
    ASSERT_NE(Form2->FindComponent("Unplaced"), nullptr);
    EXPECT_EQ(dynamic_cast<TControl&>(*Form2->FindComponent("Unplaced")).Parent(), nullptr);
    EXPECT_EQ(Grid2->ColCount(), 4);
    EXPECT_EQ(Grid2->RowCount(), 6);
    EXPECT_TRUE(Grid2->Options().Contains(goEditing));
    EXPECT_EQ(Combo2->Items()->Text(), "jedan\n\x9A"
                                       "est\n");
    EXPECT_EQ(Combo2->ItemIndex(), 1);
    EXPECT_EQ(Combo2->Text(), "\x9A"
                              "est");
    EXPECT_EQ(Edit2->Text(), "tekst");
    EXPECT_EQ(Edit2->BoundsRect(), (TRect{5, 6, 75, 26}));
    EXPECT_EQ(Button2->Glyph()->Width(), 2);
    EXPECT_FALSE(Edit2->ComponentState().Contains(csLoading));
    EXPECT_EQ(WriteForm(*Form2), Written);

    // A parent that is not a window control, or that does not exist, is refused.
    std::string BadParent = Written;
    BadParent.replace(BadParent.find("\"parent\": \"Grid\""), 16, "\"parent\": \"Button\"");
    EXPECT_NE(ReadError(BadParent).find("/parent: Button is a TSpeedButton, not a window control"),
              std::string::npos)
        << ReadError(BadParent);
}

TEST_F(FormFile, ARootReadForAnOwnerBelongsToItOrIsNotCreatedAtAll) {
    TTestPanel Application(nullptr);
    AddPanel(&Application, "Taken");
    const std::string Json = WriteForm(*BuildSampleForm());

    TComponent& Form = ReadForm(Json, Application);
    EXPECT_EQ(Form.Owner(), &Application);
    EXPECT_EQ(Application.FindComponent("Form1"), &Form);
    EXPECT_EQ(dynamic_cast<TTestPanel&>(Form).Link(), Form.FindComponent("Inner")->Components(0));

    // The name is taken now, so the same form cannot be read a second time.
    const int LiveBefore = TTestPanel::LiveCount;
    try {
        ReadForm(Json, Application);
        ADD_FAILURE() << "no exception";
    } catch (const EReadError& E) {
        EXPECT_EQ(E.Message(),
                  "Error reading form file at /name: A component named Form1 already exists");
    }
    EXPECT_EQ(TTestPanel::LiveCount, LiveBefore);
    EXPECT_EQ(Application.ComponentCount(), 2);
}
