#include "tests/host/data/DBGridTestFixture.h"

namespace vorn::dbgridtest {

std::unique_ptr<testsupport::TSampleDatabaseFile> DBGridTest::Database;

} // namespace vorn::dbgridtest
