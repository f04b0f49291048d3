#include "host/data/dataset/FieldType.h"

#include <array>

namespace vorn {

const char* FieldTypeName(TFieldType Type) {
    static constexpr std::array Names = {"ftUnknown", "ftString",    "ftSmallint",   "ftInteger",
                                         "ftWord",    "ftBoolean",   "ftFloat",      "ftCurrency",
                                         "ftBCD",     "ftDate",      "ftTime",       "ftDateTime",
                                         "ftBytes",   "ftVarBytes",  "ftAutoInc",    "ftBlob",
                                         "ftMemo",    "ftFixedChar", "ftWideString", "ftLargeint"};
    static_assert(Names.size() == ftLargeint + 1, "one name per field type");
    const auto Index = static_cast<std::size_t>(Type);
    return Index < Names.size() ? Names[Index] : "ftUnknown";
}

} // namespace vorn
