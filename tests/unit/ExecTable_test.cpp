#include "exec/ExecTable.h"
#include "exec/Memory.h"

#include "ExecRuntime.h"

namespace {
class Tables : public ExecRuntime {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }
};
} // namespace

TEST_F(Tables, CapacityNHoldsNMinusOneBeforeItMustGrow)
{
    ExecTable table;
    ASSERT_TRUE(AddTable(&table, sizeof(int), 4));
    for (int i = 1; i <= 3; ++i) EXPECT_TRUE(AppendTableEntry(&table, &i, 0));
    int four = 4;
    EXPECT_FALSE(AppendTableEntry(&table, &four, 0)) << "a fixed table refuses the fourth entry";
    EXPECT_EQ(table.count, 3u);
    EXPECT_TRUE(AppendTableEntry(&table, &four, 16));
    EXPECT_EQ(table.count, 4u);
    EXPECT_EQ(table.capacity, 20u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(*static_cast<int*>(TableEntry(&table, static_cast<uint32_t>(i))), i + 1);
    FreeTable(&table);
}

TEST_F(Tables, RewindEmptiesAndReusesTheStorage)
{
    ExecTable table;
    ASSERT_TRUE(AddTable(&table, 8, 10));
    const double x = 1.5;
    AppendTableEntry(&table, &x, 0);
    RewindTable(&table);
    EXPECT_EQ(table.count, 0u);
    EXPECT_EQ(table.cursor, table.data);
    FreeTable(&table);
}

TEST_F(Tables, StorageComesFromTheMainPool)
{
    const std::size_t before = MainRamFree();
    ExecTable table;
    ASSERT_TRUE(AddTable(&table, 16, 10));
    EXPECT_EQ(before - MainRamFree(), MemBlockSize(160));
    FreeTable(&table);
    EXPECT_EQ(MainRamFree(), before);
}

TEST_F(Tables, FailuresAreReportedWithTheSize)
{
    ExecTable table;
    EXPECT_FALSE(AddTable(&table, 1024, 8 * 1024));
    EXPECT_TRUE(LogHas("AddTable error: No table (could not allocate 8 )")) << Log();
    ASSERT_TRUE(AddTable(&table, 1024, 2));
    EXPECT_FALSE(ResizeTable(&table, 8 * 1024));
    EXPECT_TRUE(LogHas("ResizeTable: Could not allocate 8.00 ")) << Log();
    EXPECT_EQ(table.capacity, 2u);
    FreeTable(&table);
}
