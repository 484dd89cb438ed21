// The file list's own rows: ticks, removals and the counts the window's buttons read, and the one
// notice a view gets for each bulk change.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "quenlor/FileListModel.h"

namespace quenlor::test {
namespace {

class CountingList : public FileListModel {
  public:
    int notices = 0;

  protected:
    void RowsChanged(int, int) override { ++notices; }
    void RowsRemoved() override { ++notices; }
};

TEST(FileListModelTest, BulkChangesKeepTheCountsAndTellTheViewOnce) {
    struct Case {
        const char* name;
        std::function<void(FileListModel&)> change;
        std::vector<int> left;  // the first five rows' numbers (r1..r5) still listed, in order
        int checked, convertible, source_deleted;
    };
    // Before each case: r1..r5, r2 and r4 ticked, r4's source deleted (so unticked), r5 ticked.
    const Case cases[] = {
        {"全选", [](FileListModel& l) { l.SetAllChecked(true); }, {1, 2, 3, 4, 5}, 5, 4, 1},
        {"全不选", [](FileListModel& l) { l.SetAllChecked(false); }, {1, 2, 3, 4, 5}, 0, 0, 1},
        {"删除", [](FileListModel& l) { l.RemoveChecked(); }, {1, 3, 4}, 0, 0, 1},
        {"全选 then 删除",
         [](FileListModel& l) {
             l.SetAllChecked(true);
             l.RemoveChecked();
         },
         {},
         0,
         0,
         0},
        {"Space on rows 1, 3, 4",
         [](FileListModel& l) {
             l.SetChecked({1, 3, 4}, true);
         },
         {1, 2, 3, 4, 5},
         5,
         4,
         1},
        {"one row removed", [](FileListModel& l) { l.RemoveRow(2); }, {1, 3, 4, 5}, 1, 1, 1},
        {"cleared", [](FileListModel& l) { l.Clear(); }, {}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CountingList list;
        for (int i = 1; i <= 5; ++i) list.AddRow(L"r" + std::to_wstring(i));
        list.SetChecked({2, 4, 5}, true);
        list.MarkSourceDeleted(4);
        ASSERT_EQ(list.CheckedCount(), 2);
        list.notices = 0;
        c.change(list);
        EXPECT_LE(list.notices, c.name == std::string("全选 then 删除") ? 2 : 1);
        std::vector<int> left;
        for (int row = 1; row <= list.RowCount(); ++row) {
            left.push_back(std::stoi(list.RowText(row).substr(1)));
            // Each row is found again from its identity, where it is now.
            EXPECT_EQ(list.RowOf(list.IdOf(row)), row);
        }
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(list.CheckedCount(), c.checked);
        EXPECT_EQ(list.ConvertibleCount(), c.convertible);
        EXPECT_EQ(list.SourceDeletedCount(), c.source_deleted);
        // A removed row's identity finds nothing, and new rows never take an old identity.
        list.AddRow(L"r9");
        EXPECT_EQ(list.RowOf(6), list.RowCount());
        for (RowId gone = 1; gone <= 5; ++gone) {
            const int row = list.RowOf(gone);
            EXPECT_EQ(row != 0, std::count(c.left.begin(), c.left.end(), gone) == 1);
        }
    }
}

}  // namespace
}  // namespace quenlor::test
