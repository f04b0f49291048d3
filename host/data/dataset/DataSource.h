#pragma once

#include "host/components/model/Component.h"
#include "host/components/model/Events.h"
#include "host/data/dataset/DataSet.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

class TDataLink;

// Connects data links to a dataset: the dataset tells its data sources of every
// change, and each data source tells its links. The dataset is a reference, dropped
// when the dataset is freed.
class TDataSource : public TComponent {
public:
    explicit TDataSource(TComponent* AOwner);
    ~TDataSource() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* Value);
    // A disabled data source tells its links nothing and makes them inactive.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    TDataSetState State() const;

    int DataLinkCount() const { return static_cast<int>(FDataLinks.size()); }
    TDataLink* DataLinks(int Index) const;

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TDataSet;
    friend class TDataLink;

    void NotifyDataLinks(TDataEvent Event, std::intptr_t Info);
    void UpdateLinkStates();

    TDataSet* FDataSet = nullptr;
    bool FEnabled = true;
    std::vector<TDataLink*> FDataLinks;
};

// A link from a control (or any object) to a data source. Its owner creates and frees
// it; descendants override the notifications they care about.
class TDataLink : public TPersistent {
public:
    TDataLink() = default;
    ~TDataLink() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    TDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* Value);
    // The data source's dataset, or nullptr without a data source.
    TDataSet* DataSet() const;
    // The data source is enabled and its dataset open.
    bool Active() const { return FActive; }

    // The dataset opened or closed, or the link reached another dataset.
    virtual void ActiveChanged() {}
    // The rows changed (open, refresh, re-sort, filter, master move, EnableControls).
    virtual void DataSetChanged() {}
    // Another record became current; the rows are the same.
    virtual void DataSetScrolled(int Distance) { (void)Distance; }
    // Field's value changed in the current record, or the record (Field nullptr).
    virtual void RecordChanged(TField* Field) { (void)Field; }
    virtual void EditingChanged() {}

private:
    friend class TDataSource;

    void DataEvent(TDataEvent Event, std::intptr_t Info);
    // Recomputes Active; tells ActiveChanged when it or the dataset changed, or Always.
    void UpdateState(bool Always = false);

    TDataSource* FDataSource = nullptr;
    bool FActive = false;
    TDataSet* FStateDataSet = nullptr;
};

// A link to one field of the dataset, as an edit control uses it.
class TFieldDataLink : public TDataLink {
public:
    TFieldDataLink() = default;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& Value);
    // The field of that name in the open dataset, or nullptr.
    TField* Field() const { return FField; }

    // The current record changed (a scroll, new rows, or this field's value).
    TNotifyEvent OnDataChange;
    // The dataset opened or closed, or the link got another data source.
    TNotifyEvent OnActiveChange;

    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int Distance) override;
    void RecordChanged(TField* Field) override;

private:
    void UpdateField();

    std::string FFieldName;
    TField* FField = nullptr;
};

} // namespace vorn
