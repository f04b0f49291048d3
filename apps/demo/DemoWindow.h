#pragma once

#include "host/components/controls/Form.h"
#include "host/components/model/Component.h"

#include <filesystem>
#include <memory>
#include <string>

namespace vorn {

class TDBFilterGrid;
class TDBGrid;
class TDBGridTitleSort;
class TEdit;
class TQuery;
class TTable;

// The demo window: the form read from the form file with the handlers a form file cannot
// hold. The database alias the form names must be registered before construction.
class TDemoWindow {
public:
    explicit TDemoWindow(const std::filesystem::path& FormFile);
    ~TDemoWindow();
    TDemoWindow(const TDemoWindow&) = delete;
    TDemoWindow& operator=(const TDemoWindow&) = delete;

    TForm& Form() const { return *FForm; }

    // The scene shown in screenshots: two titles sorted (the second with Ctrl held) and
    // two filter rows, applied both as the customers' filter and as the query's WHERE clause.
    void PlayScene();

    // Builds the filter grid's expression in the given kind, shows it and applies it.
    void ApplyFilter(bool AsSQL);

private:
    template <class TComponentClass>
    TComponentClass& Find(const std::string& Name) const;
    void WireEvents();

    std::unique_ptr<TForm> FForm;
    TDBGrid* FCustomerGrid = nullptr;
    TDBGridTitleSort* FTitleSort = nullptr;
    TDBFilterGrid* FFilterGrid = nullptr;
    TEdit* FExpressionEdit = nullptr;
    TTable* FCustomerTable = nullptr;
    TQuery* FFilterQuery = nullptr;
};

// The demo's form file in the source tree.
std::filesystem::path DemoFormFile();

} // namespace vorn
