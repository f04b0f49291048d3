#include "host/components/model/TypeInfo.h"

namespace vorn {

const TTypeInfo& IntegerTypeInfo() {
    static const TTypeInfo Info{"Integer", tkInteger, {}, nullptr};
    return Info;
}

const TTypeInfo& BooleanTypeInfo() {
    static const TTypeInfo Info{"Boolean", tkBoolean, {"False", "True"}, nullptr};
    return Info;
}

const TTypeInfo& StringTypeInfo() {
    static const TTypeInfo Info{"String", tkString, {}, nullptr};
    return Info;
}

} // namespace vorn
