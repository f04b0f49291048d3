#pragma once

// An edit box that moves its data source's dataset to the first record matching the
// typed text, and can show the current record's value between searches.

#include "host/components/controls/Edit.h"
#include "host/data/dataset/DataSource.h"

#include <memory>
#include <string>

namespace vorn {

// When the locate edit searches by itself: never, on Enter, or at every change.
enum TAutoLocate { alNone, alReturnKey, alOnChange };

const TTypeInfo& AutoLocateTypeInfo();
const TTypeInfo& LocateOptionsTypeInfo();

// The searched field is DataField or, when that is empty, the first field of the open
// table's order after its master-link fields, so that the search follows the table's
// sort order. Two flags keep the component's own notifications apart: a search does
// not overwrite the text being typed, and showing a record's value starts no search.
class TDBLocateEdit : public TEdit {
public:
    explicit TDBLocateEdit(TComponent* AOwner);
    ~TDBLocateEdit() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    // Searches Text in the locate field and returns whether a record was found. Errors of
    // the search (no locate field, an unknown field, a text the field cannot hold, the
    // database's) count as not found; AfterLocate follows every search that was tried.
    // An empty text or a missing dataset tries nothing and fires nothing.
    bool Locate();
    // Shows the current record's value of the locate field, or clears the text when
    // there is none.
    void UpdateText();
    void ClearText();
    // The field that is searched; empty when there is none.
    std::string GetLocateField() const;

    TAutoLocate AutoLocate() const { return FAutoLocate; }
    void SetAutoLocate(TAutoLocate Value) { FAutoLocate = Value; }
    bool AutoUpdate() const { return FAutoUpdate; }
    void SetAutoUpdate(bool Value);
    const std::string& GetDataField() const { return FDataLink->FieldName(); }
    void SetDataField(const std::string& Value);
    TDataSource* GetDataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* Value);
    TLocateOptions LocateOptions() const { return FLocateOptions; }
    void SetLocateOptions(TLocateOptions Value) { FLocateOptions = Value; }
    // The result of the last search.
    bool Located() const { return FLocated; }

    TNotifyEvent AfterLocate;

    void Change() override;
    void KeyDown(int& Key, TShiftState Shift) override;
    void DoExit() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    virtual void DoAfterLocate();
    // UpdateText with AutoUpdate, else ClearText; nothing while loading.
    void InternalUpdateText();
    // The data link's report of a record move, a field change, an open or a close.
    void DataChange(TObject* Sender);

private:
    bool IsLoading() const { return ComponentState().Contains(csLoading); }

    bool FLocating = false;
    bool FUpdating = false;
    TAutoLocate FAutoLocate = alOnChange;
    std::unique_ptr<TFieldDataLink> FDataLink;
    TLocateOptions FLocateOptions{loCaseInsensitive, loPartialKey};
    bool FLocated = false;
    bool FAutoUpdate = false;
};

namespace dblocateedit {

// Puts TDBLocateEdit on the component palette page "Vorn".
void Register();

} // namespace dblocateedit

} // namespace vorn
