#pragma once

#include "host/components/model/Component.h"
#include "host/components/model/Events.h"

#include <string>
#include <utility>
#include <vector>

namespace vorn {

// An ordered list of strings, each with an associated object that the list does not own.
//
// Text holds every string followed by "\n", so a list round-trips through Text exactly
// (as long as no string holds a line break); SetText accepts "\n", "\r\n" and "\r".
// Strings are compared with ASCII letter case ignored unless a descendant says otherwise.
class TStrings : public TPersistent {
public:
    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    virtual int Count() const = 0;
    // Room reserved for strings; the base has none beyond Count.
    virtual int Capacity() const { return Count(); }
    // Raises EListError for a capacity below Count or above MaxListSize.
    virtual void SetCapacity(int NewCapacity);

    // The string at Index; raises EListError outside 0..Count-1.
    std::string Strings(int Index) const { return Get(Index); }
    void SetString(int Index, const std::string& S) { Put(Index, S); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    void SetObject(int Index, TObject* Object) { PutObject(Index, Object); }

    // Appends S and returns its index.
    int Add(const std::string& S) { return AddObject(S, nullptr); }
    int AddObject(const std::string& S, TObject* Object);
    void Append(const std::string& S) { Add(S); }
    void AddStrings(const TStrings& Source);
    // Inserts S before Index; Index == Count appends.
    virtual void Insert(int Index, const std::string& S) = 0;
    void InsertObject(int Index, const std::string& S, TObject* Object);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;

    // The index of the first string equal to S (see CompareStrings), or -1.
    int IndexOf(const std::string& S) const;
    // The index of the first string whose object is Object, or -1.
    int IndexOfObject(const TObject* Object) const;

    std::string Text() const;
    void SetText(const std::string& Value);

    // Replaces the strings and objects by those of another TStrings; other sources raise.
    void Assign(const TPersistent* Source) override;

    // Changes between BeginUpdate and the matching EndUpdate are reported once, at the end.
    void BeginUpdate();
    // Raises when no BeginUpdate is open.
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Negative, zero or positive as A sorts before, with or after B; compares whole
    // characters without case (CompareTextIgnoringCase).
    virtual int CompareStrings(const std::string& A, const std::string& B) const;

protected:
    virtual std::string Get(int Index) const = 0;
    virtual void Put(int Index, const std::string& S) = 0;
    virtual TObject* GetObject(int Index) const = 0;
    virtual void PutObject(int Index, TObject* Object) = 0;
    // Called when the first BeginUpdate opens (true) and the last EndUpdate closes (false).
    virtual void SetUpdateState(bool Updating);

private:
    int FUpdateCount = 0;
};

// Type information of a TStrings sub-object property (a combo box's Items).
const TTypeInfo& StringsTypeInfo();

// The usual TStrings: strings kept in memory, an OnChange event fired after every change
// (once per BeginUpdate/EndUpdate batch), optional case-sensitive comparison and a
// stable sort.
class TStringList : public TStrings {
public:
    TStringList() = default;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    int Count() const override { return static_cast<int>(FItems.size()); }
    int Capacity() const override { return static_cast<int>(FItems.capacity()); }
    void SetCapacity(int NewCapacity) override;

    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;

    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }
    int CompareStrings(const std::string& A, const std::string& B) const override;

    // Sorts ascending by CompareStrings; equal strings keep their order, so they end up
    // together in the order they had.
    void Sort();

    TNotifyEvent OnChange;

protected:
    std::string Get(int Index) const override;
    void Put(int Index, const std::string& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* Object) override;
    void SetUpdateState(bool Updating) override;

private:
    struct TItem {
        std::string String;
        TObject* Object = nullptr;
    };

    void CheckIndex(int Index) const;
    void Changed();

    std::vector<TItem> FItems;
    bool FCaseSensitive = false;
    bool FChangedDuringUpdate = false;
};

} // namespace vorn
