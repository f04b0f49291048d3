#include "Source/DBGridTitleSort.h"

#include "host/components/model/ClassRegistry.h"
#include "host/components/model/ScopeGuard.h"

#include <algorithm>

namespace vorn {

namespace {

bool IsDestroying(const TComponent& Component) {
    return Component.ComponentState().Contains(csDestroying);
}

} // namespace

const TTypeInfo& DBGridAutoRegisterMethodTypeInfo() {
    static const TTypeInfo Info{
        "TDBGridAutoRegisterMethod", tkEnumeration, {"arNone", "arForm"}, nullptr};
    return Info;
}

const TTypeInfo& DBGridMulticolumnSortMethodsTypeInfo() {
    static const TTypeInfo Info{
        "TDBGridMulticolumnSortMethods", tkSet, {"mcsShift", "mcsAlt", "mcsCtrl"}, nullptr};
    return Info;
}

const TTypeInfo& DBGridSortEventTypeInfo() {
    static const TTypeInfo Info{"TDBGridSortEvent", tkMethod, {}, nullptr};
    return Info;
}

const TTypeInfo& DBGridSortCycleTypeInfo() {
    static const TTypeInfo Info{
        "TDBGridSortCycle",
        tkEnumeration,
        {"scAscending", "scAscendingDescending", "scDescendingFirstForNumbersAndDates"},
        nullptr};
    return Info;
}

const TClass& TDBGridTitleSort::StaticClass() {
    static const TClass Class = [] {
        using T = TDBGridTitleSort;
        TClass C("TDBGridTitleSort", &TComponent::StaticClass(), &CreateComponentOf<T>);
        C.AddProperty(MakeProperty("AutoRegister", DBGridAutoRegisterMethodTypeInfo(),
                                   &T::AutoRegister, &T::SetAutoRegister));
        C.AddProperty(
            MakeProperty("AutoUpdate", BooleanTypeInfo(), &T::AutoUpdate, &T::SetAutoUpdate));
        C.AddProperty(MakeProperty("ClickedTitleColor", ColorTypeInfo(), &T::ClickedTitleColor,
                                   &T::SetClickedTitleColor));
        C.AddProperty(MakeProperty("ClickedTitleFontColor", ColorTypeInfo(),
                                   &T::ClickedTitleFontColor, &T::SetClickedTitleFontColor));
        C.AddProperty(MakeProperty("ClickedTitleFontStyle", FontStylesTypeInfo(),
                                   &T::ClickedTitleFontStyle, &T::SetClickedTitleFontStyle));
        C.AddProperty(MakeProperty("ClickedTitleMask", StringTypeInfo(), &T::ClickedTitleMask,
                                   &T::SetClickedTitleMask));
        C.AddProperty(MakeProperty("UseClickedTitleColor", BooleanTypeInfo(),
                                   &T::UseClickedTitleColor, &T::SetUseClickedTitleColor));
        C.AddProperty(MakeProperty("UseClickedTitleFontColor", BooleanTypeInfo(),
                                   &T::UseClickedTitleFontColor, &T::SetUseClickedTitleFontColor));
        C.AddProperty(MakeProperty("UseClickedTitleFontStyle", BooleanTypeInfo(),
                                   &T::UseClickedTitleFontStyle, &T::SetUseClickedTitleFontStyle));
        C.AddProperty(MakeProperty("StrictLocalIndexing", BooleanTypeInfo(),
                                   &T::StrictLocalIndexing, &T::SetStrictLocalIndexing));
        C.AddProperty(MakeProperty("StrictServerIndexing", BooleanTypeInfo(),
                                   &T::StrictServerIndexing, &T::SetStrictServerIndexing));
        C.AddProperty(MakeProperty("UnSort", BooleanTypeInfo(), &T::UnSort, &T::SetUnSort));
        C.AddProperty(MakeProperty("MultiColumnSort", DBGridMulticolumnSortMethodsTypeInfo(),
                                   &T::MultiColumnSort, &T::SetMulticolumnSortMethod));
        C.AddProperty(MakeEventProperty("OnSort", DBGridSortEventTypeInfo(), &T::OnSort));
        // Left out of form files at its default, so that forms keep the text they had.
        C.AddProperty(WithStreamDefault(
            MakeProperty("SortCycle", DBGridSortCycleTypeInfo(), &T::SortCycle, &T::SetSortCycle),
            scAscending));
        return C;
    }();
    return Class;
}

TDBGridTitleSort::TDBGridTitleSort(TComponent* AOwner) : TComponent(AOwner) {
    // Placed on a form in the designer, the component is designed with it.
    if (AOwner != nullptr && AOwner->ComponentState().Contains(csDesigning))
        SetDesigning(true);
}

TDBGridTitleSort::~TDBGridTitleSort() {
    Destroying();
    // Links go first, so that no sort change reaches a component whose registry is gone.
    FDataLinks.clear();
    FRetiredLinks.clear();
    FTitleStates.clear();
}

// ---------------------------------------------------------------- properties

void TDBGridTitleSort::RefreshAllIfAutoUpdate() {
    if (FAutoUpdate)
        UpdateTitle(nullptr);
}

void TDBGridTitleSort::SetAutoRegister(TDBGridAutoRegisterMethod Value) {
    FAutoRegister = Value;
    DoAutoregister();
    RefreshAllIfAutoUpdate();
}

void TDBGridTitleSort::SetAutoUpdate(bool Value) {
    FAutoUpdate = Value;
    RefreshAllIfAutoUpdate();
}

void TDBGridTitleSort::SetClickedTitleColor(TColor Value) {
    FClickedTitleColor = Value;
    RefreshAllIfAutoUpdate();
}

void TDBGridTitleSort::SetClickedTitleFontColor(TColor Value) {
    FClickedTitleFontColor = Value;
    RefreshAllIfAutoUpdate();
}

void TDBGridTitleSort::SetClickedTitleFontStyle(TFontStyles Value) {
    FClickedTitleFontStyle = Value;
    RefreshAllIfAutoUpdate();
}

void TDBGridTitleSort::SetClickedTitleMask(const std::string& Value) {
    FClickedTitleMask = Value;
    RefreshAllIfAutoUpdate();
}

void TDBGridTitleSort::SetUseClickedTitleColor(bool Value) {
    FUseClickedTitleColor = Value;
    RefreshAllIfAutoUpdate();
}

void TDBGridTitleSort::SetUseClickedTitleFontColor(bool Value) {
    FUseClickedTitleFontColor = Value;
    RefreshAllIfAutoUpdate();
}

void TDBGridTitleSort::SetUseClickedTitleFontStyle(bool Value) {
    FUseClickedTitleFontStyle = Value;
    RefreshAllIfAutoUpdate();
}

void TDBGridTitleSort::SetSortCycle(TDBGridSortCycle Value) {
    if (Value == FSortCycle)
        return;
    FSortCycle = Value;
    // Masked captions show directions under every cycle but the default one.
    RefreshAllIfAutoUpdate();
}

// ---------------------------------------------------------------- registry

int TDBGridTitleSort::FindOldTitleState(const TComponent* Grid) const {
    for (std::size_t Index = 0; Index < FTitleStates.size(); ++Index)
        if (static_cast<const TComponent*>(FTitleStates[Index]->Grid) == Grid)
            return static_cast<int>(Index);
    return -1;
}

bool TDBGridTitleSort::IsRegistered(const TDBGrid* Grid) const {
    return Grid != nullptr && FindOldTitleState(Grid) >= 0;
}

void TDBGridTitleSort::RegisterGrid(TDBGrid* Grid) {
    if (Grid == nullptr)
        throw Exception("TDBGridTitleSort.RegisterGrid() DBGrid is nil.");
    if (FindOldTitleState(Grid) < 0) {
        try {
            FTitleStates.push_back(std::make_unique<TOldDBGridTitleState>(Grid));
        } catch (const std::exception&) {
            // The registry keeps what it had; the grid is simply not served.
            return;
        }
        AddDataLinkForGrid(Grid);
    }
    if (!FSorting)
        UpdateTitle(Grid);
}

void TDBGridTitleSort::RegisterGrids(const std::vector<TDBGrid*>& Grids) {
    for (TDBGrid* Grid : Grids)
        RegisterGrid(Grid);
}

void TDBGridTitleSort::RegisterOwnedGrids(TComponent* AOwner) {
    if (AOwner == nullptr)
        return;
    for (int Index = 0; Index < AOwner->ComponentCount(); ++Index) {
        TComponent* Component = AOwner->Components(Index);
        RegisterOwnedGrids(Component);
        if (auto* Grid = dynamic_cast<TDBGrid*>(Component))
            RegisterGrid(Grid);
    }
}

void TDBGridTitleSort::UnregisterGrid(TDBGrid* Grid) {
    if (Grid == nullptr || FindOldTitleState(Grid) < 0)
        return;
    RestoreTitles(Grid);
    RemoveOldTitleState(Grid);
}

void TDBGridTitleSort::RemoveOldTitleState(const TComponent* Grid) {
    const int Index = FindOldTitleState(Grid);
    if (Index < 0)
        return;
    FTitleStates.erase(FTitleStates.begin() + Index);
    PackDataLinks();
}

std::string TDBGridTitleSort::GetRegisteredGridNames() const {
    std::string Names;
    for (const auto& State : FTitleStates) {
        if (!Names.empty())
            Names += ';';
        Names += State->Grid != nullptr ? State->Grid->Name() : std::string("nil");
    }
    return Names;
}

// ---------------------------------------------------------------- data links

void TDBGridTitleSort::AddDataLinkForGrid(TDBGrid* Grid) {
    TDataSource* Source = Grid->DataSource();
    for (const auto& Link : FDataLinks)
        if (Link->DataSource() == Source)
            return;
    auto Link = std::make_unique<TSortDataLink>();
    Link->OnSortChange = [this](TObject* Sender, const std::string& OldFields,
                                const std::string& NewFields, bool& Done) {
        DoAfterSortChange(Sender, OldFields, NewFields, Done);
    };
    try {
        FDataLinks.push_back(std::move(Link));
    } catch (const std::exception&) {
        // The new link goes again; the grid is served without following sort changes.
        return;
    }
    try {
        FDataLinks.back()->SetDataSource(Source);
    } catch (const std::exception&) {
        FDataLinks.pop_back();
    }
}

void TDBGridTitleSort::PackDataLinks() {
    std::size_t Index = 0;
    while (Index < FDataLinks.size()) {
        TSortDataLink* Link = FDataLinks[Index].get();
        VORN_ASSERT(Link != nullptr);
        TDataSource* Source = Link->DataSource();
        bool Used = false;
        if (Source != nullptr) {
            for (const auto& State : FTitleStates) {
                VORN_ASSERT(State->Grid != nullptr);
                if (!IsDestroying(*State->Grid) && State->Grid->DataSource() == Source) {
                    Used = true;
                    break;
                }
            }
        }
        if (Used)
            ++Index;
        else
            RetireDataLink(Index);
    }
    ReleaseRetiredLinks();
}

void TDBGridTitleSort::RetireDataLink(std::size_t Index) {
    std::unique_ptr<TSortDataLink> Link = std::move(FDataLinks[Index]);
    FDataLinks.erase(FDataLinks.begin() + static_cast<std::ptrdiff_t>(Index));
    Link->SetDataSource(nullptr);
    FRetiredLinks.push_back(std::move(Link));
}

void TDBGridTitleSort::ReleaseRetiredLinks() {
    if (FLinkNotificationDepth == 0)
        FRetiredLinks.clear();
}

void TDBGridTitleSort::DoAfterSortChange(TObject* Sender, const std::string& OldFields,
                                         const std::string& NewFields, bool& Done) {
    (void)OldFields;
    (void)NewFields;
    if (FSorting)
        return;
    // No link notification runs here yet, so links retired earlier have returned.
    ReleaseRetiredLinks();
    auto* Link = dynamic_cast<TSortDataLink*>(Sender);
    if (Link == nullptr)
        return;
    const TCountInScope<int> Depth(FLinkNotificationDepth);
    TDataSource* Source = Link->DataSource();
    bool GridFound = false;
    // Refreshing replaces registry entries, so walk the grids registered now.
    std::vector<TDBGrid*> Grids;
    for (const auto& State : FTitleStates)
        Grids.push_back(State->Grid);
    for (TDBGrid* Grid : Grids) {
        if (FindOldTitleState(Grid) < 0 || Grid->DataSource() != Source)
            continue;
        TDBGridColumns* Columns = Grid->Columns();
        // The grid cannot show the order yet: the link reports it again later.
        if (Columns->Count() == 0 || Columns->Items(0)->Field() == nullptr) {
            Done = false;
            return;
        }
        if (FAutoUpdate)
            UpdateTitle(Grid);
        GridFound = true;
    }
    if (!GridFound) {
        auto Position = std::find_if(FDataLinks.begin(), FDataLinks.end(),
                                     [Link](const auto& Item) { return Item.get() == Link; });
        if (Position != FDataLinks.end())
            RetireDataLink(static_cast<std::size_t>(Position - FDataLinks.begin()));
    }
}

// ---------------------------------------------------------------- life cycle

void TDBGridTitleSort::DoAutoregister() {
    const TComponentState State = ComponentState();
    if (State.Contains(csDesigning) || State.Contains(csLoading))
        return;
    if (FAutoRegister == arForm)
        RegisterOwnedGrids(Owner());
}

void TDBGridTitleSort::Loaded() {
    TComponent::Loaded();
    DoAutoregister();
}

void TDBGridTitleSort::Notification(TComponent* AComponent, TOperation Operation) {
    // Only the address is used: a grid freed without detaching first is no grid any more.
    if (!IsDestroying(*this) && Operation == opRemove && FindOldTitleState(AComponent) >= 0)
        RemoveOldTitleState(AComponent);
    TComponent::Notification(AComponent, Operation);
}

void TDBGridTitleSort::DoOnSort(TCustomGrid* Grid, TDataSet* DataSet,
                                const std::string& SortFieldNames) {
    if (OnSort)
        OnSort(this, Grid, DataSet, SortFieldNames);
}

namespace dbgridtitlesort {

void Register() {
    RegisterComponents("Vorn", {&TDBGridTitleSort::StaticClass()});
}

} // namespace dbgridtitlesort

} // namespace vorn
