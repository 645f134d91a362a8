// Virtual mode: the pages the grid asks its owner for, and what it keeps.
#include <QCoreApplication>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "frame/grid/SpreadSheet.h"

namespace {

using Request = std::pair<long, long>;

// An owner that answers like the browsers: every line gets its number.
struct Owner {
    CSpreadSheet g;
    std::vector<Request> asked;
    std::function<void(long first)> whileAsked;
    explicit Owner(long total) {
        g.SetMaxCols(2);
        g.SetVirtualMode(true);
        g.SetVirtualPageSize(500);
        g.SetVirtualOverlap(50);
        g.SetQueryData([this](long first, long count) {
            asked.emplace_back(first, count);
            if (whileAsked) whileAsked(first);
            g.SetReDraw(false);
            for (long r = first; r < first + count; ++r) g.SetCellLong(1, r, r, 1);
            g.SetReDraw(true);
        });
        g.resize(300, 400);
        g.show();
        g.SetVirtualRows(total);
    }
    std::vector<Request> Take() { return std::exchange(asked, {}); }
};

}  // namespace

TEST(GridVirtual, PagesAreAskedAsLinesComeIntoView) {
    Owner o(2000);
    EXPECT_EQ(o.Take(), (std::vector<Request>{{1, 500}})) << "opening";
    struct Step { const char* what; long row; int position; std::vector<Request> expect; } steps[] = {
        {"still inside page 1", 480, 7, {}},
        // Line 501 is past page 1: the next page starts 50 lines back.
        {"crossing into page 2", 495, 0, {{451, 500}}},
        {"the last page is cut at the end", 2000, 7, {{1801, 200}}},
        {"back to the top: page 1 is still kept", 1, 0, {}},
        {"a middle page", 1000, 0, {{901, 500}}},
        {"inside the overlap of a loaded page", 940, 0, {}},
    };
    for (const Step& s : steps) {
        o.g.ShowCell(1, s.row, s.position);
        EXPECT_EQ(o.Take(), s.expect) << s.what;
        const int top = o.g.rowAt(0) + 1;
        EXPECT_EQ(o.g.GetCellLong(1, top), top) << s.what << ": the lines in view are filled";
    }
}

TEST(GridVirtual, ScrollingActiveCellNewCountAndEviction) {
    Owner o(5000);
    o.Take();
    // The same count asks for nothing; a new list (0 then the count) reloads.
    o.g.SetVirtualRows(5000);
    EXPECT_TRUE(o.Take().empty());
    o.g.SetVirtualRows(0);
    o.g.SetVirtualRows(5000);
    EXPECT_EQ(o.Take(), (std::vector<Request>{{1, 500}}));
    o.g.verticalScrollBar()->setValue(3000);
    QCoreApplication::processEvents();
    const auto asked = o.Take();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_LE(asked[0].first, 3001);  // the page covers the lines now in view
    EXPECT_GE(asked[0].first + asked[0].second - 1, 3011);
    // Making a far line active loads it even if it is not scrolled to.
    o.g.SetActiveCell(1, 4990);
    EXPECT_EQ(o.Take(), (std::vector<Request>{{4951, 50}}));
    EXPECT_EQ(o.g.GetCellLong(1, 4990), 4990);
    // Past the page limit the oldest page goes and is asked again.
    o.g.SetVirtualMaxPages(2);
    o.g.ShowCell(1, 1000, 0);
    o.Take();
    EXPECT_EQ(o.g.GetCellText(1, 1), "");
    o.g.ShowCell(1, 1, 0);
    EXPECT_EQ(o.Take(), (std::vector<Request>{{1, 500}}));
    EXPECT_EQ(o.g.GetCellLong(1, 1), 1);
}

TEST(GridVirtual, AnOwnerThatScrollsInsideTheCallbackIsNotAskedAgain) {
    Owner o(0);
    o.whileAsked = [&o](long first) { o.g.ShowCell(1, first + 700, 0); };  // would need another page
    o.g.SetVirtualRows(5000);
    EXPECT_GE(o.asked.size(), 1u);
    EXPECT_LE(o.asked.size(), 3u);
}
