#include "host/components/model/ClassRegistry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vorn;

namespace {

class TWidgetA : public TComponent {
public:
    using TComponent::TComponent;
    static const TClass& StaticClass() {
        static const TClass Class("TRegistryWidgetA", &TComponent::StaticClass(),
                                  &CreateComponentOf<TWidgetA>);
        return Class;
    }
    const TClass& ClassType() const override { return StaticClass(); }
};

class TWidgetB : public TComponent {
public:
    using TComponent::TComponent;
    static const TClass& StaticClass() {
        static const TClass Class("TRegistryWidgetB", &TComponent::StaticClass(),
                                  &CreateComponentOf<TWidgetB>);
        return Class;
    }
    const TClass& ClassType() const override { return StaticClass(); }
};

const TClass& NotCreatableClass() {
    static const TClass Class("TRegistryAbstract", &TComponent::StaticClass());
    return Class;
}

// A second class whose name differs from TWidgetA's only in letter case.
const TClass& ImpostorClass() {
    static const TClass Class("tregistrywidgeta", &TComponent::StaticClass(),
                              &CreateComponentOf<TWidgetB>);
    return Class;
}

const char* const ModuleX = "RegistryTestModuleX";
const char* const ModuleY = "RegistryTestModuleY";

// Every test starts and ends with nothing of its modules registered.
class ClassRegistry : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override {
        UnregisterModule(ModuleX);
        UnregisterModule(ModuleY);
        UnregisterClass(TWidgetA::StaticClass());
        UnregisterClass(TWidgetB::StaticClass());
    }
};

std::vector<std::string> Names(const std::vector<const TClass*>& Classes) {
    std::vector<std::string> Result;
    for (const TClass* Class : Classes)
        Result.push_back(Class->Name());
    return Result;
}

bool HasPage(const std::string& Page) {
    for (const std::string& Existing : PalettePages())
        if (Existing == Page)
            return true;
    return false;
}

} // namespace

TEST_F(ClassRegistry, FindsRegisteredClassesIgnoringCaseAndReportsUnknownNames) {
    RegisterClass(TWidgetA::StaticClass());
    EXPECT_EQ(&FindClass("TRegistryWidgetA"), &TWidgetA::StaticClass());
    EXPECT_EQ(GetClass("TREGISTRYWIDGETA"), &TWidgetA::StaticClass());
    EXPECT_EQ(GetClass("TRegistryWidgetB"), nullptr);
    try {
        FindClass("TRegistryWidgetB");
        FAIL() << "no exception";
    } catch (const EClassNotFound& E) {
        EXPECT_EQ(E.Message(), "Class TRegistryWidgetB not found");
    }
    UnregisterClass(TWidgetA::StaticClass());
    EXPECT_EQ(GetClass("TRegistryWidgetA"), nullptr);
}

TEST_F(ClassRegistry, ConflictingRegistrationsRaiseAndChangeNothing) {
    {
        TRegistrationModuleScope Scope(ModuleX);
        RegisterClass(TWidgetA::StaticClass());
        RegisterClass(TWidgetA::StaticClass()); // again from the same module: no change
    }
    TRegistrationModuleScope Scope(ModuleY);
    const std::size_t ClassCount = RegisteredClasses().size();
    const struct {
        const char* Label;
        const TClass* Class;
        const char* Message;
    } Cases[] = {
        {"same class, other module", &TWidgetA::StaticClass(),
         "RegisterClass() Class TRegistryWidgetA is already registered by module "
         "RegistryTestModuleX"},
        {"other class, same name", &ImpostorClass(),
         "RegisterClass() Another class named tregistrywidgeta is already registered by module "
         "RegistryTestModuleX"},
        {"null class", nullptr, "RegisterClass() Class is nil"},
    };
    for (const auto& Case : Cases) {
        try {
            RegisterComponents("RegistryTest", {&TWidgetB::StaticClass(), Case.Class});
            ADD_FAILURE() << Case.Label << ": no exception";
        } catch (const EClassRegistrationError& E) {
            EXPECT_EQ(E.Message(), Case.Message) << Case.Label;
        }
        // The valid class before the bad one was not registered either.
        EXPECT_EQ(GetClass("TRegistryWidgetB"), nullptr) << Case.Label;
        EXPECT_FALSE(HasPage("RegistryTest")) << Case.Label;
    }
    EXPECT_EQ(RegisteredClasses().size(), ClassCount);
    EXPECT_THROW(RegisterComponents("RegistryTest", {&NotCreatableClass()}),
                 EClassRegistrationError);
    EXPECT_THROW(RegisterComponents("", {&TWidgetB::StaticClass()}), EClassRegistrationError);
    EXPECT_EQ(GetClass("TRegistryAbstract"), nullptr);
}

TEST_F(ClassRegistry, PalettePagesAndClassesKeepRegistrationOrder) {
    const std::vector<std::string> PagesBefore = PalettePages();
    {
        TRegistrationModuleScope Scope(ModuleX);
        RegisterComponents("RegistryTest 2", {&TWidgetB::StaticClass()});
        RegisterComponents("RegistryTest 1", {&TWidgetB::StaticClass(), &TWidgetA::StaticClass()});
        RegisterComponents("RegistryTest 2", {&TWidgetA::StaticClass(), &TWidgetB::StaticClass()});
    }
    std::vector<std::string> Expected = PagesBefore;
    Expected.push_back("RegistryTest 2");
    Expected.push_back("RegistryTest 1");
    EXPECT_EQ(PalettePages(), Expected);
    EXPECT_EQ(Names(PaletteClasses("RegistryTest 2")),
              (std::vector<std::string>{"TRegistryWidgetB", "TRegistryWidgetA"}));
    EXPECT_EQ(Names(PaletteClasses("RegistryTest 1")),
              (std::vector<std::string>{"TRegistryWidgetB", "TRegistryWidgetA"}));
    EXPECT_TRUE(PaletteClasses("No such page").empty());
}

TEST_F(ClassRegistry, UnloadingAModuleTwiceLeavesNoRegistrationBehind) {
    const std::vector<const TClass*> ClassesBefore = RegisteredClasses();
    const std::vector<std::string> PagesBefore = PalettePages();
    RegisterClass(TWidgetB::StaticClass()); // the application's own, outlives the module
    for (int Load = 0; Load < 2; ++Load) {
        {
            TRegistrationModuleScope Outer(ModuleX);
            {
                TRegistrationModuleScope Inner(ModuleY);
                EXPECT_EQ(CurrentRegistrationModule(), ModuleY);
            }
            EXPECT_EQ(CurrentRegistrationModule(), ModuleX);
            RegisterComponents("RegistryTest", {&TWidgetA::StaticClass()});
        }
        EXPECT_EQ(CurrentRegistrationModule(), "");
        EXPECT_EQ(Names(PaletteClasses("RegistryTest")),
                  std::vector<std::string>{"TRegistryWidgetA"});
        UnregisterModule(ModuleX);
        EXPECT_EQ(GetClass("TRegistryWidgetA"), nullptr);
        EXPECT_FALSE(HasPage("RegistryTest"));
        EXPECT_EQ(PalettePages(), PagesBefore);
    }
    EXPECT_EQ(GetClass("TRegistryWidgetB"), &TWidgetB::StaticClass());
    UnregisterClass(TWidgetB::StaticClass());
    EXPECT_EQ(RegisteredClasses(), ClassesBefore);
}
