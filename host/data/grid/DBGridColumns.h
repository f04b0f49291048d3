#pragma once

#include "host/components/graphics/Graphics.h"
#include "host/components/model/Collection.h"
#include "host/components/model/StreamableCollection.h"

#include <memory>
#include <string>

namespace vorn {

class TCustomDBGrid;
class TColumn;
class TDBGridColumns;
class TField;

// How a grid's columns came about: built from the dataset's fields (csDefault, rebuilt
// whenever the fields change) or defined by the application or a form file (csCustomized).
enum TDBGridColumnsState { csDefault, csCustomized };

// The sort arrow that a title shows: its direction and, in an order of several columns,
// the column's place (1 = most significant) among Count. Kept while the program runs,
// never stored with the form.
enum TTitleSortDirection { tsdNone, tsdAscending, tsdDescending };
struct TTitleSortMark {
    TTitleSortDirection Direction = tsdNone;
    int Priority = 0;
    int Count = 0;
    bool operator==(const TTitleSortMark&) const = default;
};

// The title cell of a column: caption, background colour and font.
class TColumnTitle : public TPersistent {
public:
    explicit TColumnTitle(TColumn& Column);
    ~TColumnTitle() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    TColumn& Column() const { return FColumn; }

    // The field's display label (the field name unless the application gave another), or
    // the column's FieldName without a field, until a caption is written.
    std::string Caption() const;
    void SetCaption(const std::string& Value);
    bool CaptionAssigned() const { return FCaptionAssigned; }

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);

    // A copy of the grid's TitleFont that follows it until the title's font is changed.
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value) { FFont->Assign(Value); }
    bool FontAssigned() const { return FFontAssigned; }

    // Set by whoever sorts the grid by this column (the title sorter); tsdNone by default.
    const TTitleSortMark& SortMark() const { return FSortMark; }
    void SetSortMark(const TTitleSortMark& Value);

    // Back to the default caption, colour and font.
    void RestoreDefaults();
    void Assign(const TPersistent* Source) override;

private:
    friend class TDBGridColumns;

    void TakeGridFont();
    void FontChanged();

    TColumn& FColumn;
    std::string FCaption;
    bool FCaptionAssigned = false;
    TColor FColor = clBtnFace;
    std::unique_ptr<TFont> FFont;
    bool FFontAssigned = false;
    bool FTakingGridFont = false;
    TTitleSortMark FSortMark;
};

// A column of a data grid: shows the field named FieldName of the grid's dataset.
class TColumn : public TCollectionItem {
public:
    TColumn();
    ~TColumn() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& Value);
    // The field of that name in the grid's dataset; nullptr without a grid, data source or
    // dataset, or when the dataset has no such field.
    TField* Field() const;
    // The grid whose column this is, or nullptr for a column outside a grid.
    TCustomDBGrid* Grid() const;
    TDBGridColumns* Columns() const;

    TColumnTitle* Title() const { return FTitle.get(); }

    // Width in pixels: fitted to the field's display width and the caption until written.
    int Width() const;
    // Raises EListError for a negative width.
    void SetWidth(int Value);
    int DefaultWidth() const;
    bool WidthAssigned() const { return FWidthAssigned; }

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    std::string DisplayName() const override;
    // Back to the default title, width and visibility; the field name stays.
    void RestoreDefaults();
    void Assign(const TPersistent* Source) override;

private:
    friend class TColumnTitle;

    void TitleChanged() { Changed(false); }

    std::string FFieldName;
    std::unique_ptr<TColumnTitle> FTitle;
    int FWidth = 0;
    bool FWidthAssigned = false;
    bool FVisible = true;
};

// The columns of a data grid. Adding a column (the application or a form file) makes the
// columns customized; removing the last one, Clear or RebuildColumns returns them to the
// default columns built from the dataset's fields. Form files store customized columns
// only: default columns are the dataset's, not the form's.
class TDBGridColumns : public TCollection, public IStreamableCollection {
public:
    explicit TDBGridColumns(TCustomDBGrid* Grid);
    ~TDBGridColumns() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    TCustomDBGrid* Grid() const { return FGrid; }

    TColumn* Items(int Index) const { return static_cast<TColumn*>(TCollection::Items(Index)); }
    TColumn* Add() { return static_cast<TColumn*>(TCollection::Add()); }
    TColumn* Insert(int Index) { return static_cast<TColumn*>(TCollection::Insert(Index)); }
    TColumn* FindItemID(int ID) const { return static_cast<TColumn*>(TCollection::FindItemID(ID)); }
    // The first column showing FieldName (exact name), or nullptr.
    TColumn* FindColumn(const std::string& FieldName) const;

    TDBGridColumnsState State() const { return FState; }
    // csDefault rebuilds the columns from the dataset's fields; csCustomized keeps the
    // columns as they are and stops them following the fields.
    void SetState(TDBGridColumnsState Value);
    // Default columns, one per field of the dataset (none without a dataset).
    void RebuildColumns();
    // Every column back to its default title, width and visibility.
    void RestoreDefaults();

    // Default columns are rebuilt when the dataset's field names differ from theirs.
    void FieldsChanged();
    // The grid's title font changed: titles that follow it take it over.
    void GridTitleFontChanged();

    int StreamItemCount() const override;
    TObject& StreamItem(int Index) const override;
    TObject& AddStreamItem() override;
    void ClearStreamItems() override;
    void BeginStreamUpdate() override { BeginUpdate(); }
    void EndStreamUpdate() override { EndUpdate(); }

protected:
    std::unique_ptr<TCollectionItem> CreateItem() override;
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override;
    void Update(TCollectionItem* Item) override;

private:
    void BuildDefaultColumns();
    bool MatchesFields() const;

    TCustomDBGrid* FGrid;
    TDBGridColumnsState FState = csDefault;
    bool FBuildingDefault = false;
};

} // namespace vorn
