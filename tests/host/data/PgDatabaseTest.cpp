#include "PgTestDatabase.h"

#include "host/data/dataset/Database.h"
#include "host/data/drivers/DatabaseError.h"
#include "host/data/drivers/postgres/PgDatabase.h"

#include <gmock/gmock.h>

using namespace vorn;
using vorn::test::PgTest;
using vorn::test::PgTestConnInfo;

TEST_F(PgTest, AnAliasOpensItsServerWhenFirstUsed) {
    RegisterPostgresDatabase("vorn_pg_alias", PgTestConnInfo());
    RegisterPostgresDatabase("vorn_pg_nowhere", "host=/nonexistent/vorn dbname=x");
    {
        TConnectionLease Lease("vorn_pg_alias");
        EXPECT_EQ(Lease.Connection().SqlBackend(), sbPostgreSQL);
        EXPECT_FALSE(Lease.Connection().IsSequenced());
        auto Cursor = Lease.Connection().Execute("SELECT current_database()", {});
        ASSERT_TRUE(Cursor->Next());
        EXPECT_THAT(PgTestConnInfo(), ::testing::HasSubstr(Cursor->Value(0).AsString()));
    }
    EXPECT_THROW(TConnectionLease("vorn_pg_nowhere"), EDatabaseError);
    UnregisterDatabase("vorn_pg_alias");
    UnregisterDatabase("vorn_pg_nowhere");
}
