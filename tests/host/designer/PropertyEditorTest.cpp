#include "host/components/model/ClassRegistry.h"
#include "host/designer/PropertyEditorRegistry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vorn {
namespace {

enum TShade { shLight, shMedium, shDark };
enum TEdge { edLeft, edTop, edRight, edBottom };
using TEdges = TSet<TEdge>;

const TTypeInfo& ShadeTypeInfo() {
    static const TTypeInfo Info{"TShade", tkEnumeration, {"shLight", "shMedium", "shDark"}};
    return Info;
}
const TTypeInfo& EdgesTypeInfo() {
    static const TTypeInfo Info{"TEdges", tkSet, {"edLeft", "edTop", "edRight", "edBottom"}};
    return Info;
}
// The type of a TWidget reference; it names the class once the class exists.
TTypeInfo& WidgetTypeInfo() {
    static TTypeInfo Info{"TWidget", tkComponent, {}, nullptr};
    return Info;
}

// An owned sub-object with properties of its own.
class TMargins : public TPersistent {
public:
    static const TClass& StaticClass() {
        static const TClass Class = [] {
            TClass C("TMargins", &TPersistent::StaticClass());
            C.AddProperty(
                MakeProperty("Left", IntegerTypeInfo(), &TMargins::Left, &TMargins::SetLeft));
            return C;
        }();
        return Class;
    }
    const TClass& ClassType() const override { return StaticClass(); }
    int Left() const { return FLeft; }
    void SetLeft(int Value) { FLeft = Value; }

private:
    int FLeft = 0;
};

const TTypeInfo& MarginsTypeInfo() {
    static const TTypeInfo Info{"TMargins", tkObject, {}, &TMargins::StaticClass()};
    return Info;
}

// A component with one published property of every kind. Width refuses negative values
// while Locked, so that one component of a selection can refuse what another accepts.
class TWidget : public TComponent {
public:
    using TComponent::TComponent;
    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value) { FCaption = Value; }
    int Width() const { return FWidth; }
    void SetWidth(int Value) {
        if (Locked && Value < 0)
            throw Exception("TWidget.SetWidth() Width must not be negative");
        FWidth = Value;
    }
    TShade Shade() const { return FShade; }
    void SetShade(TShade Value) { FShade = Value; }
    TEdges Edges() const { return FEdges; }
    void SetEdges(TEdges Value) { FEdges = Value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }
    TWidget* Partner() const { return FPartner; }
    void SetPartner(TWidget* Value) { FPartner = Value; }
    TMargins* Margins() const { return FMargins.get(); }

    bool Locked = false;

private:
    std::string FCaption;
    int FWidth = 0;
    TShade FShade = shLight;
    TEdges FEdges;
    bool FVisible = true;
    TWidget* FPartner = nullptr;
    std::unique_ptr<TMargins> FMargins = std::make_unique<TMargins>();
};

class TFancyWidget : public TWidget {
public:
    using TWidget::TWidget;
    static const TClass& StaticClass() {
        static const TClass Class("TFancyWidget", &TWidget::StaticClass(),
                                  &CreateComponentOf<TFancyWidget>);
        return Class;
    }
    const TClass& ClassType() const override { return StaticClass(); }
};

// Another class with a Caption, unrelated to TWidget.
class TLabelLike : public TComponent {
public:
    using TComponent::TComponent;
    static const TClass& StaticClass() {
        static const TClass Class = [] {
            TClass C("TLabelLike", &TComponent::StaticClass(), &CreateComponentOf<TLabelLike>);
            C.AddProperty(MakeProperty("Caption", StringTypeInfo(), &TLabelLike::Caption,
                                       &TLabelLike::SetCaption));
            return C;
        }();
        return Class;
    }
    const TClass& ClassType() const override { return StaticClass(); }
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value) { FCaption = Value; }

private:
    std::string FCaption;
};

const TClass& TWidget::StaticClass() {
    static const TClass Class = [] {
        TClass C("TWidget", &TComponent::StaticClass(), &CreateComponentOf<TWidget>);
        C.AddProperty(
            MakeProperty("Caption", StringTypeInfo(), &TWidget::Caption, &TWidget::SetCaption));
        C.AddProperty(
            MakeProperty("Width", IntegerTypeInfo(), &TWidget::Width, &TWidget::SetWidth));
        C.AddProperty(MakeProperty("Shade", ShadeTypeInfo(), &TWidget::Shade, &TWidget::SetShade));
        C.AddProperty(MakeProperty("Edges", EdgesTypeInfo(), &TWidget::Edges, &TWidget::SetEdges));
        C.AddProperty(
            MakeProperty("Visible", BooleanTypeInfo(), &TWidget::Visible, &TWidget::SetVisible));
        C.AddProperty(
            MakeProperty("Partner", WidgetTypeInfo(), &TWidget::Partner, &TWidget::SetPartner));
        C.AddProperty(MakeSubObjectProperty("Margins", MarginsTypeInfo(), &TWidget::Margins));
        return C;
    }();
    static const bool Typed = (WidgetTypeInfo().ClassType = &Class, true);
    (void)Typed;
    return Class;
}

// Editors told apart by their class names.
#define VORN_TEST_EDITOR(Name)                                                                     \
    class Name : public TStringProperty {                                                          \
    public:                                                                                        \
        using TStringProperty::TStringProperty;                                                    \
        static const TClass& StaticClass() {                                                       \
            static const TClass Class(#Name, &TStringProperty::StaticClass());                     \
            return Class;                                                                          \
        }                                                                                          \
        const TClass& ClassType() const override { return StaticClass(); }                         \
    };
VORN_TEST_EDITOR(TEditorA)
VORN_TEST_EDITOR(TEditorB)
VORN_TEST_EDITOR(TEditorC)
#undef VORN_TEST_EDITOR

// An editor that edits one component at a time only.
class TSingleEditor : public TStringProperty {
public:
    using TStringProperty::TStringProperty;
    TPropertyAttributes GetAttributes() override { return {paRevertable}; }
};

struct TRegistration {
    const TTypeInfo* Type;
    const TClass* Class;
    std::string Property;
    TPropertyEditorClass Editor;
};

// Registrations made in a module of their own, dropped when the fixture ends.
class PropertyEditorTest : public ::testing::Test {
protected:
    static constexpr const char* Module = "PropertyEditorTestModule";
    ~PropertyEditorTest() override { UnregisterModulePropertyEditors(Module); }

    void Register(const std::vector<TRegistration>& Registrations) {
        TRegistrationModuleScope Scope(Module);
        for (const TRegistration& R : Registrations)
            RegisterPropertyEditor(*R.Type, R.Class, R.Property, R.Editor);
    }

    std::string EditorName(TComponent& Component, const std::string& Property) {
        return CreatePropertyEditor({&Component}, Property, &Form)->ClassName();
    }

    TComponent Form{nullptr};
    TWidget* A = MakeWidget<TWidget>("A");
    TWidget* B = MakeWidget<TWidget>("B");
    TFancyWidget* Fancy = MakeWidget<TFancyWidget>("Fancy");
    TLabelLike* Label = MakeWidget<TLabelLike>("Label");

private:
    template <class C>
    C* MakeWidget(const std::string& Name) {
        auto* Widget = new C(&Form);
        Widget->SetName(Name);
        return Widget;
    }
};

const TPropertyEditorClass EditorA = &CreatePropertyEditorOf<TEditorA>;
const TPropertyEditorClass EditorB = &CreatePropertyEditorOf<TEditorB>;
const TPropertyEditorClass EditorC = &CreatePropertyEditorOf<TEditorC>;

struct TSpecificityCase {
    const char* Title;
    std::vector<TRegistration> Registrations;
    // Expected editor of A.Caption, Fancy.Caption and Label.Caption.
    std::string WidgetCaption, FancyCaption, LabelCaption;
};

TEST_F(PropertyEditorTest, TheMostSpecificRegistrationWins) {
    const TTypeInfo& Str = StringTypeInfo();
    const TClass* Widget = &TWidget::StaticClass();
    const TClass* FancyClass = &TFancyWidget::StaticClass();
    const std::vector<TSpecificityCase> Cases = {
        {.Title = "none: the plain string editor",
         .Registrations = {},
         .WidgetCaption = "TStringProperty",
         .FancyCaption = "TStringProperty",
         .LabelCaption = "TStringProperty"},
        {.Title = "by type alone: every string property",
         .Registrations = {{.Type = &Str, .Class = nullptr, .Property = "", .Editor = EditorA}},
         .WidgetCaption = "TEditorA",
         .FancyCaption = "TEditorA",
         .LabelCaption = "TEditorA"},
        {.Title = "a registration of another type does not apply",
         .Registrations =
             {{.Type = &IntegerTypeInfo(), .Class = nullptr, .Property = "", .Editor = EditorA}},
         .WidgetCaption = "TStringProperty",
         .FancyCaption = "TStringProperty",
         .LabelCaption = "TStringProperty"},
        {.Title = "by class: the class and its descendants only",
         .Registrations = {{.Type = &Str, .Class = Widget, .Property = "", .Editor = EditorA}},
         .WidgetCaption = "TEditorA",
         .FancyCaption = "TEditorA",
         .LabelCaption = "TStringProperty"},
        {.Title = "a class beats no class, whatever the order",
         .Registrations = {{.Type = &Str, .Class = Widget, .Property = "", .Editor = EditorA},
                           {.Type = &Str, .Class = nullptr, .Property = "", .Editor = EditorB}},
         .WidgetCaption = "TEditorA",
         .FancyCaption = "TEditorA",
         .LabelCaption = "TEditorB"},
        {.Title = "the deeper class beats its ancestor",
         .Registrations = {{.Type = &Str, .Class = FancyClass, .Property = "", .Editor = EditorB},
                           {.Type = &Str, .Class = Widget, .Property = "", .Editor = EditorA}},
         .WidgetCaption = "TEditorA",
         .FancyCaption = "TEditorB",
         .LabelCaption = "TStringProperty"},
        {.Title = "a property name beats a class",
         .Registrations =
             {{.Type = &Str, .Class = Widget, .Property = "caption", .Editor = EditorA},
              {.Type = &Str, .Class = FancyClass, .Property = "", .Editor = EditorB}},
         .WidgetCaption = "TEditorA",
         .FancyCaption = "TEditorA",
         .LabelCaption = "TStringProperty"},
        {.Title = "a name alone applies to that name on every class",
         .Registrations =
             {{.Type = &Str, .Class = nullptr, .Property = "Caption", .Editor = EditorC}},
         .WidgetCaption = "TEditorC",
         .FancyCaption = "TEditorC",
         .LabelCaption = "TEditorC"},
        {.Title = "name and class beat a name alone",
         .Registrations =
             {{.Type = &Str, .Class = Widget, .Property = "Caption", .Editor = EditorA},
              {.Type = &Str, .Class = nullptr, .Property = "Caption", .Editor = EditorC}},
         .WidgetCaption = "TEditorA",
         .FancyCaption = "TEditorA",
         .LabelCaption = "TEditorC"},
        {.Title = "of equal rank the later wins",
         .Registrations = {{.Type = &Str, .Class = Widget, .Property = "", .Editor = EditorA},
                           {.Type = &Str, .Class = Widget, .Property = "", .Editor = EditorB}},
         .WidgetCaption = "TEditorB",
         .FancyCaption = "TEditorB",
         .LabelCaption = "TStringProperty"},
        {.Title = "another property name does not apply",
         .Registrations = {{.Type = &Str, .Class = Widget, .Property = "Title", .Editor = EditorA}},
         .WidgetCaption = "TStringProperty",
         .FancyCaption = "TStringProperty",
         .LabelCaption = "TStringProperty"},
    };
    for (const TSpecificityCase& Case : Cases) {
        SCOPED_TRACE(Case.Title);
        Register(Case.Registrations);
        EXPECT_EQ(EditorName(*A, "Caption"), Case.WidgetCaption);
        EXPECT_EQ(EditorName(*Fancy, "Caption"), Case.FancyCaption);
        EXPECT_EQ(EditorName(*Label, "Caption"), Case.LabelCaption);
        UnregisterModulePropertyEditors(Module);
    }
}

TEST_F(PropertyEditorTest, UnregisteringAModuleDropsOnlyItsEditors) {
    {
        TRegistrationModuleScope Scope("OtherModule");
        RegisterPropertyEditor(StringTypeInfo(), nullptr, "", EditorB);
    }
    Register({{&StringTypeInfo(), &TWidget::StaticClass(), "", EditorA}});
    const int Before = PropertyEditorRegistrationCount();
    UnregisterModulePropertyEditors(Module);
    EXPECT_EQ(PropertyEditorRegistrationCount(), Before - 1);
    EXPECT_EQ(EditorName(*A, "Caption"), "TEditorB");
    UnregisterModulePropertyEditors("OtherModule");
    EXPECT_EQ(EditorName(*A, "Caption"), "TStringProperty");
    EXPECT_THROW(RegisterPropertyEditor(StringTypeInfo(), nullptr, "", nullptr), EPropertyError);
}

struct TValueCase {
    const char* Property;
    std::string Typed;
    std::string Shown; // empty: the value is refused (but an empty reference is no component)
    std::vector<std::string> Values;
};

TEST_F(PropertyEditorTest, DefaultEditorsShowAndParseTheirKinds) {
    const std::vector<TValueCase> Cases = {
        {.Property = "Width", .Typed = "42", .Shown = "42", .Values = {}},
        {.Property = "Width", .Typed = " -7 ", .Shown = "-7", .Values = {}},
        {.Property = "Width", .Typed = "4x", .Shown = "", .Values = {}},
        {.Property = "Width", .Typed = "", .Shown = "", .Values = {}},
        {.Property = "Width",
         .Typed = "99999999999",
         .Shown = "",
         .Values = {}}, // beyond the property's int
        {.Property = "Shade",
         .Typed = "shDark",
         .Shown = "shDark",
         .Values = {"shLight", "shMedium", "shDark"}},
        {.Property = "Shade",
         .Typed = "SHMEDIUM",
         .Shown = "shMedium",
         .Values = {"shLight", "shMedium", "shDark"}},
        {.Property = "Shade",
         .Typed = "shBlack",
         .Shown = "",
         .Values = {"shLight", "shMedium", "shDark"}},
        {.Property = "Visible", .Typed = "false", .Shown = "False", .Values = {"False", "True"}},
        {.Property = "Visible", .Typed = "yes", .Shown = "", .Values = {"False", "True"}},
        {.Property = "Edges",
         .Typed = "[edTop,edBottom]",
         .Shown = "[edTop,edBottom]",
         .Values = {}},
        {.Property = "Edges",
         .Typed = "edLeft , edRight",
         .Shown = "[edLeft,edRight]",
         .Values = {}},
        {.Property = "Edges", .Typed = "[]", .Shown = "[]", .Values = {}},
        {.Property = "Edges", .Typed = "[edTop,edMiddle]", .Shown = "", .Values = {}},
        {.Property = "Partner", .Typed = "B", .Shown = "B", .Values = {"A", "B", "Fancy"}},
        {.Property = "Partner", .Typed = "", .Shown = "", .Values = {"A", "B", "Fancy"}},
        {.Property = "Partner",
         .Typed = "Label",
         .Shown = "",
         .Values = {"A", "B", "Fancy"}}, // not a TWidget
        {.Property = "Caption",
         .Typed = "any text at all",
         .Shown = "any text at all",
         .Values = {}},
    };
    for (const TValueCase& Case : Cases) {
        SCOPED_TRACE(std::string(Case.Property) + " <- \"" + Case.Typed + "\"");
        auto Editor = CreatePropertyEditor({A}, Case.Property, &Form);
        const std::string Before = Editor->GetValue();
        EXPECT_EQ(Editor->ValueList(), Case.Values);
        const bool NoComponent = std::string(Case.Property) == "Partner" && Case.Typed.empty();
        if (Case.Shown.empty() && !NoComponent) {
            EXPECT_THROW(Editor->SetValue(Case.Typed), Exception);
            EXPECT_EQ(Editor->GetValue(), Before);
        } else {
            Editor->SetValue(Case.Typed);
            EXPECT_EQ(Editor->GetValue(), Case.Shown);
        }
    }
    EXPECT_EQ(A->Partner(), nullptr); // the empty name cleared it
}

TEST_F(PropertyEditorTest, EditStepsThroughTheValueListAndWraps) {
    auto Editor = CreatePropertyEditor({A, B}, "Shade", &Form);
    B->SetShade(shDark);
    EXPECT_FALSE(Editor->AllEqual());
    for (const char* Expected : {"shMedium", "shDark", "shLight"}) {
        Editor->Edit();
        EXPECT_EQ(Editor->GetValue(), Expected);
        EXPECT_TRUE(Editor->AllEqual());
    }
}

TEST_F(PropertyEditorTest, SeveralComponentsChangeTogetherOrNotAtAll) {
    auto Editor = CreatePropertyEditor({A, B, Fancy}, "Width", &Form);
    Editor->SetValue("12");
    EXPECT_EQ((std::vector<int>{A->Width(), B->Width(), Fancy->Width()}),
              (std::vector<int>{12, 12, 12}));

    B->Locked = true; // refuses what A has already taken
    EXPECT_THROW(Editor->SetValue("-1"), Exception);
    EXPECT_EQ((std::vector<int>{A->Width(), B->Width(), Fancy->Width()}),
              (std::vector<int>{12, 12, 12}));
}

TEST_F(PropertyEditorTest, SelectionsThatCannotBeEditedTogetherAreRefused) {
    struct TCase {
        const char* Title;
        std::vector<TComponent*> Selection;
        std::string Property;
        std::string Message;
    };
    Register({{&StringTypeInfo(), &TFancyWidget::StaticClass(), "", EditorB}});
    const std::vector<TCase> Cases = {
        {.Title = "nothing selected",
         .Selection = {},
         .Property = "Caption",
         .Message = "CreatePropertyEditor() No component is selected"},
        {.Title = "a component without the property",
         .Selection = {A, Label},
         .Property = "Width",
         .Message = "Component Label (TLabelLike) has no published property Width"},
        {.Title = "different editors",
         .Selection = {A, Fancy},
         .Property = "Caption",
         .Message =
             "Property Caption differs between the selected components and cannot be edited on "
             "all of them at once"},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Title);
        try {
            CreatePropertyEditor(Case.Selection, Case.Property, &Form);
            ADD_FAILURE() << "an editor was created";
        } catch (const EPropertyError& Error) {
            EXPECT_EQ(Error.Message(), Case.Message);
        }
    }
    // The same property name on unrelated classes is one property when type and editor agree.
    EXPECT_NO_THROW(CreatePropertyEditor({A, Label}, "Caption", &Form));

    Register({{&StringTypeInfo(), nullptr, "Caption", &CreatePropertyEditorOf<TSingleEditor>}});
    EXPECT_NO_THROW(CreatePropertyEditor({A}, "Caption", &Form));
    EXPECT_THROW(CreatePropertyEditor({A, B}, "Caption", &Form), EPropertyError);
}

TEST_F(PropertyEditorTest, ASubObjectIsEditedThroughItsOwnPropertiesOnEverySelectedComponent) {
    auto Editor = CreatePropertyEditor({A, B}, "Margins", &Form);
    EXPECT_EQ(Editor->GetValue(), "(TMargins)");
    EXPECT_TRUE(Editor->GetAttributes().Contains(paSubProperties));
    EXPECT_THROW(Editor->SetValue("anything"), EPropertyError);
    std::vector<std::unique_ptr<TPropertyEditor>> Nested;
    Editor->GetProperties(
        [&](std::unique_ptr<TPropertyEditor> Sub) { Nested.push_back(std::move(Sub)); });
    ASSERT_EQ(Nested.size(), 1u);
    EXPECT_EQ(Nested[0]->GetName(), "Left");
    Nested[0]->SetValue("8");
    EXPECT_EQ(A->Margins()->Left(), 8);
    EXPECT_EQ(B->Margins()->Left(), 8);
}

TEST_F(PropertyEditorTest, TheListedPropertiesAreThoseTheWholeSelectionShares) {
    auto Names = [&](const std::vector<TComponent*>& Selection) {
        std::vector<std::string> Result;
        for (const auto& Editor : GetComponentProperties(Selection, &Form))
            Result.push_back(Editor->GetName());
        return Result;
    };
    EXPECT_EQ(Names({A}), (std::vector<std::string>{"Name", "Caption", "Width", "Shade", "Edges",
                                                    "Visible", "Partner", "Margins"}));
    // A name belongs to one component: it is not offered for several.
    EXPECT_EQ(Names({A, Label}), (std::vector<std::string>{"Caption"}));
    EXPECT_EQ(EditorName(*A, "Name"), "TComponentNameProperty");
    EXPECT_THROW(CreatePropertyEditor({A, B}, "Name", &Form), EPropertyError);
    EXPECT_TRUE(Names({}).empty());
}

} // namespace
} // namespace vorn
