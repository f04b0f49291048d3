#include "host/components/model/Strings.h"

#include "host/components/model/List.h"
#include "host/components/text/TextCase.h"

#include <algorithm>

namespace vorn {

namespace {

int CompareBytes(const std::string& A, const std::string& B) {
    const int Result = A.compare(B);
    return Result < 0 ? -1 : (Result > 0 ? 1 : 0);
}

// Runs Action as one update batch, closed also when Action raises.
template <class F>
void AsOneChange(TStrings& Strings, F Action) {
    Strings.BeginUpdate();
    try {
        Action();
    } catch (...) {
        Strings.EndUpdate();
        throw;
    }
    Strings.EndUpdate();
}

} // namespace

// ---------------------------------------------------------------- TStrings

// No published properties: form files write a TStrings as the array of its strings.
const TClass& TStrings::StaticClass() {
    static const TClass Class("TStrings", &TPersistent::StaticClass());
    return Class;
}

const TTypeInfo& StringsTypeInfo() {
    static const TTypeInfo Info{"TStrings", tkObject, {}, &TStrings::StaticClass()};
    return Info;
}

void TStrings::SetCapacity(int NewCapacity) {
    if (NewCapacity < Count() || NewCapacity > MaxListSize)
        RaiseListCapacityError(NewCapacity);
}

int TStrings::AddObject(const std::string& S, TObject* Object) {
    const int Index = Count();
    InsertObject(Index, S, Object);
    return Index;
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* Object) {
    AsOneChange(*this, [&] {
        Insert(Index, S);
        if (Object != nullptr)
            PutObject(Index, Object);
    });
}

void TStrings::AddStrings(const TStrings& Source) {
    // Read the count once: adding a list to itself must not chase its own tail.
    const int SourceCount = Source.Count();
    AsOneChange(*this, [&] {
        for (int Index = 0; Index < SourceCount; ++Index)
            AddObject(Source.Strings(Index), Source.Objects(Index));
    });
}

int TStrings::IndexOf(const std::string& S) const {
    for (int Index = 0, Total = Count(); Index < Total; ++Index)
        if (CompareStrings(Get(Index), S) == 0)
            return Index;
    return -1;
}

int TStrings::IndexOfObject(const TObject* Object) const {
    for (int Index = 0, Total = Count(); Index < Total; ++Index)
        if (GetObject(Index) == Object)
            return Index;
    return -1;
}

std::string TStrings::Text() const {
    std::string Result;
    for (int Index = 0, Total = Count(); Index < Total; ++Index) {
        Result += Get(Index);
        Result += '\n';
    }
    return Result;
}

void TStrings::SetText(const std::string& Value) {
    std::vector<std::string> Lines;
    std::size_t Start = 0;
    while (Start < Value.size()) {
        const std::size_t Break = Value.find_first_of("\r\n", Start);
        if (Break == std::string::npos) {
            Lines.push_back(Value.substr(Start));
            break;
        }
        Lines.push_back(Value.substr(Start, Break - Start));
        const bool CrLf =
            Value[Break] == '\r' && Break + 1 < Value.size() && Value[Break + 1] == '\n';
        Start = Break + (CrLf ? 2 : 1);
    }
    if (Lines.size() > static_cast<std::size_t>(MaxListSize))
        RaiseListCapacityError(MaxListSize);
    AsOneChange(*this, [&] {
        Clear();
        for (const std::string& Line : Lines)
            Add(Line);
    });
}

void TStrings::Assign(const TPersistent* Source) {
    const auto* Strings = dynamic_cast<const TStrings*>(Source);
    if (Strings == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (Strings == this)
        return;
    AsOneChange(*this, [&] {
        Clear();
        AddStrings(*Strings);
    });
}

void TStrings::BeginUpdate() {
    if (FUpdateCount++ == 0)
        SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (FUpdateCount == 0)
        throw EListError("TStrings.EndUpdate() EndUpdate without a matching BeginUpdate");
    if (--FUpdateCount == 0)
        SetUpdateState(false);
}

int TStrings::CompareStrings(const std::string& A, const std::string& B) const {
    return CompareTextIgnoringCase(A, B);
}

void TStrings::SetUpdateState(bool) {}

// ---------------------------------------------------------------- TStringList

const TClass& TStringList::StaticClass() {
    static const TClass Class("TStringList", &TStrings::StaticClass());
    return Class;
}

void TStringList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count())
        RaiseListIndexError(Index);
}

void TStringList::Changed() {
    if (UpdateCount() > 0) {
        FChangedDuringUpdate = true;
        return;
    }
    if (OnChange)
        OnChange(this);
}

void TStringList::SetUpdateState(bool Updating) {
    if (Updating || !FChangedDuringUpdate)
        return;
    FChangedDuringUpdate = false;
    Changed();
}

void TStringList::SetCapacity(int NewCapacity) {
    SetListCapacity(FItems, NewCapacity);
}

std::string TStringList::Get(int Index) const {
    CheckIndex(Index);
    return FItems[static_cast<std::size_t>(Index)].String;
}

void TStringList::Put(int Index, const std::string& S) {
    CheckIndex(Index);
    std::string& Target = FItems[static_cast<std::size_t>(Index)].String;
    if (Target == S)
        return;
    Target = S;
    Changed();
}

TObject* TStringList::GetObject(int Index) const {
    CheckIndex(Index);
    return FItems[static_cast<std::size_t>(Index)].Object;
}

void TStringList::PutObject(int Index, TObject* Object) {
    CheckIndex(Index);
    TObject*& Target = FItems[static_cast<std::size_t>(Index)].Object;
    if (Target == Object)
        return;
    Target = Object;
    Changed();
}

void TStringList::Insert(int Index, const std::string& S) {
    if (Index < 0 || Index > Count())
        RaiseListIndexError(Index);
    if (Count() >= MaxListSize)
        RaiseListCapacityError(Count() + 1);
    FItems.insert(FItems.begin() + Index, TItem{S, nullptr});
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TStringList::Clear() {
    if (FItems.empty())
        return;
    FItems.clear();
    Changed();
}

int TStringList::CompareStrings(const std::string& A, const std::string& B) const {
    return FCaseSensitive ? CompareBytes(A, B) : CompareTextIgnoringCase(A, B);
}

void TStringList::Sort() {
    auto Less = [this](const TItem& A, const TItem& B) {
        return CompareStrings(A.String, B.String) < 0;
    };
    if (std::is_sorted(FItems.begin(), FItems.end(), Less))
        return;
    std::stable_sort(FItems.begin(), FItems.end(), Less);
    Changed();
}

} // namespace vorn
