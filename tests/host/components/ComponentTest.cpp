#include "host/components/model/Component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vorn;

namespace {

// Records what happens to it in a log shared by all probes of a test.
class TProbe : public TComponent {
public:
    TProbe(TComponent* AOwner, std::string Label, std::vector<std::string>& Log)
        : TComponent(AOwner), FLabel(std::move(Label)), FLog(Log) {}
    ~TProbe() override {
        Destroying();
        FLog.push_back("free " + FLabel);
    }

    void Notification(TComponent* AComponent, TOperation Operation) override {
        auto* Other = dynamic_cast<TProbe*>(AComponent);
        const std::string OtherLabel = Other != nullptr ? Other->FLabel : std::string("?");
        FLog.push_back(FLabel + (Operation == opInsert ? " sees insert " : " sees remove ") +
                       OtherLabel);
        TComponent::Notification(AComponent, Operation);
    }

    void Loaded() override {
        FLog.push_back("loaded " + FLabel + (ComponentState().Contains(csLoading) ? "" : " early"));
        TComponent::Loaded();
    }

private:
    std::string FLabel;
    std::vector<std::string>& FLog;
};

} // namespace

TEST(Component, OwnedComponentsKeepCreationOrder) {
    TComponent Owner(nullptr);
    auto* First = new TComponent(&Owner);
    auto* Second = new TComponent(&Owner);
    ASSERT_EQ(Owner.ComponentCount(), 2);
    EXPECT_EQ(Owner.Components(0), First);
    EXPECT_EQ(Owner.Components(1), Second);
    EXPECT_EQ(First->Owner(), &Owner);
    EXPECT_THROW(Owner.Components(2), EListError);
    EXPECT_THROW(Owner.Components(-1), EListError);
}

TEST(Component, OwnerFreesItsComponentsLastCreatedFirst) {
    std::vector<std::string> Log;
    {
        TComponent Owner(nullptr);
        new TProbe(&Owner, "A", Log);
        new TProbe(&Owner, "B", Log);
        Log.clear();
    }
    // B goes first; A, still alive, hears of B's removal, then goes itself. A component
    // being freed is only a TComponent by the time its owner tells the others, so it is
    // recognised by address, never by its type.
    EXPECT_EQ(Log, (std::vector<std::string>{"free B", "A sees remove ?", "free A"}));
}

TEST(Component, SameOwnerComponentsHearOfInsertAndRemove) {
    std::vector<std::string> Log;
    TComponent Owner(nullptr);
    auto* A = new TProbe(&Owner, "A", Log);
    new TProbe(&Owner, "B", Log);
    auto* C = new TProbe(&Owner, "C", Log);
    Log.clear();

    delete A;
    // The owner tells every component it still holds, the last first.
    EXPECT_EQ(Log, (std::vector<std::string>{"free A", "C sees remove ?", "B sees remove ?"}));
    EXPECT_EQ(Owner.ComponentCount(), 2);

    Log.clear();
    auto* D = new TProbe(nullptr, "D", Log);
    Owner.InsertComponent(D);
    EXPECT_EQ(Log,
              (std::vector<std::string>{"D sees insert D", "C sees insert D", "B sees insert D"}));
    EXPECT_EQ(Owner.Components(2), D);
    (void)C;
}

TEST(Component, DestroyingStateReachesOwnedComponentsBeforeTheyGo) {
    TComponent Owner(nullptr);
    auto* Child = new TComponent(&Owner);
    auto* Grandchild = new TComponent(Child);
    Owner.Destroying();
    EXPECT_TRUE(Child->ComponentState().Contains(csDestroying));
    EXPECT_TRUE(Grandchild->ComponentState().Contains(csDestroying));
}

TEST(Component, NamesMustBeIdentifiersAndUniqueWithinOwner) {
    TComponent Owner(nullptr);
    auto* A = new TComponent(&Owner);
    auto* B = new TComponent(&Owner);
    A->SetName("Grid1");

    struct Case {
        const char* Name;
        const char* Message;
    };
    const Case Rejected[] = {
        {"1Grid", "'1Grid' is not a valid component name"},
        {"Grid 1", "'Grid 1' is not a valid component name"},
        {"grid1", "A component named grid1 already exists"},
        {"Grid1", "A component named Grid1 already exists"},
    };
    for (const Case& Each : Rejected) {
        try {
            B->SetName(Each.Name);
            ADD_FAILURE() << Each.Name << " was accepted";
        } catch (const EComponentError& Error) {
            EXPECT_EQ(Error.Message(), Each.Message);
        }
        EXPECT_EQ(B->Name(), "") << "a rejected name must leave the old one";
    }

    B->SetName("_Grid2");
    EXPECT_EQ(Owner.FindComponent("_grid2"), B);
    A->SetName("Grid1"); // renaming to its own name is no clash
    B->SetName("");
    EXPECT_EQ(Owner.FindComponent(""), nullptr);
}

TEST(Component, InsertingADuplicateNameLeavesBothOwnersAsTheyWere) {
    TComponent First(nullptr);
    TComponent Second(nullptr);
    auto* Taken = new TComponent(&First);
    Taken->SetName("Edit1");
    auto* Moving = new TComponent(&Second);
    Moving->SetName("Edit1");

    EXPECT_THROW(First.InsertComponent(Moving), EComponentError);
    EXPECT_EQ(Moving->Owner(), &Second);
    EXPECT_EQ(First.ComponentCount(), 1);
    EXPECT_EQ(Second.ComponentCount(), 1);
}

TEST(Component, LoadingAndDesigningStatesCoverTheOwnedTree) {
    std::vector<std::string> Log;
    TComponent Owner(nullptr);
    auto* Probe = new TProbe(&Owner, "P", Log);
    Owner.SetDesigning(true);
    EXPECT_TRUE(Probe->ComponentState().Contains(csDesigning));
    Owner.SetLoading();
    Probe->Loaded();
    EXPECT_FALSE(Probe->ComponentState().Contains(csLoading));
    EXPECT_EQ(Log.back(), "loaded P");
    Owner.SetDesigning(false);
    EXPECT_FALSE(Probe->ComponentState().Contains(csDesigning));
}

TEST(Component, ComponentsCreatedUnderADesignedOwnerAreDesignedFromTheStart) {
    TComponent Owner(nullptr);
    Owner.SetDesigning(true);
    auto* Child = new TComponent(&Owner);
    EXPECT_TRUE(Child->ComponentState().Contains(csDesigning));
}

TEST(Component, ClassInformationKnowsItsAncestryAndProperties) {
    TComponent Component(nullptr);
    EXPECT_EQ(Component.ClassName(), "TComponent");
    EXPECT_TRUE(Component.InheritsFrom(TPersistent::StaticClass()));
    EXPECT_FALSE(TPersistent::StaticClass().InheritsFrom(TComponent::StaticClass()));
    const TPropertyInfo* Name = TComponent::StaticClass().FindProperty("Name");
    ASSERT_NE(Name, nullptr);
    Name->Set(Component, std::string("Table1"));
    EXPECT_EQ(std::get<std::string>(Name->Get(Component)), "Table1");
    EXPECT_THROW(Name->Set(Component, std::int64_t{3}), EConvertError);
    EXPECT_THROW(TPersistent::StaticClass().CreateInstance(nullptr), EComponentError);
}
