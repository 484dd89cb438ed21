// Popup tracking with real input inside the modal menu loop: a script run from a thread timer
// presses keys and moves the pointer while a popup is open, and waits for the popups it expects.
#include <gtest/gtest.h>

#include "tests/frame/MenuBarHost.h"
#include "frame/cToolbarMenu.h"
#include "win/CallbackBarrier.h"

namespace quenlor::test {
namespace {

TEST(ToolbarMenuTest, MovesBetweenBarItemsLikeAMenuBar) {
    BarHost& host = SharedHost();
    cMenuBar& bar = host.bar();
    const HMENU file = host.file(), sub = host.sub(), edit = host.edit(), help = host.help();
    auto keys = [](std::initializer_list<WORD> vks) {
        return [vks] {
            for (WORD vk : vks) Key(vk);
        };
    };
    auto moveToItem = [&](int i) { return [&bar, i] { MoveTo(ItemCentre(bar, i)); }; };
    auto moveToEmptyBar = [&] {
        POINT p = ItemCentre(bar, 3);
        p.x += 100;
        MoveTo(p);
    };
    auto clickBelowBar = [&] {
        POINT p{200, 150};
        ClientToScreen(host.hwnd(), &p);
        MoveTo(p);
        Click();
    };
    bool hookWhileOpen = false, reopened = false;
    const auto noteHook = [&] { hookWhileOpen = MenuHook::Installed(); };

    struct Case {
        const char* name;
        std::vector<Script::Step> steps;  // after a click on bar item 1; the last closes the menu
    };
    const Case cases[] = {
        {"left in the first popup wraps to the last bar item",
         {{"file", Settled({file}), keys({VK_LEFT})},
          {"help", Settled({help}), keys({VK_ESCAPE, VK_ESCAPE})}}},
        {"right on an item with a submenu opens the submenu",
         {{"file", Settled({file}), keys({VK_DOWN, VK_DOWN, VK_RIGHT})},
          {"file and sub", Settled({file, sub}), keys({VK_ESCAPE})},
          {"file again", Settled({file}), keys({VK_ESCAPE, VK_ESCAPE})}}},
        {"right on an item without a submenu moves to the next bar item",
         {{"file", Settled({file}), keys({VK_DOWN, VK_RIGHT})},
          {"edit", Settled({edit}), keys({VK_ESCAPE, VK_ESCAPE})}}},
        {"left inside a submenu closes only the submenu",
         {{"file", Settled({file}), keys({VK_DOWN, VK_DOWN, VK_RIGHT})},
          {"file and sub", Settled({file, sub}), keys({VK_LEFT})},
          {"file only", Settled({file}), keys({VK_ESCAPE, VK_ESCAPE})}}},
        {"the pointer moved onto item 2 opens popup 2; empty bar space changes nothing",
         {{"file", Settled({file}), moveToItem(2)},
          {"edit", Settled({edit}), moveToEmptyBar},
          {"edit stays", Settled({edit}), keys({VK_ESCAPE, VK_ESCAPE})}}},
        {"Esc leaves the bar item selected: Right moves along the bar, Down opens, Esc twice ends",
         {{"file", Settled({file}), keys({VK_ESCAPE})},
          {"file selected on the bar", [&] { return OpenPopups().empty() && bar.HotItem() == 1; },
           keys({VK_RIGHT, VK_DOWN})},
          {"edit", Settled({edit}), keys({VK_ESCAPE, VK_ESCAPE})}}},
        {"a click on the open item keeps it open; a click elsewhere closes",
         {{"file", Settled({file}),
           [&] {
               reopened = bar.OpenByMnemonic('E');  // as Alt+E from a keyboard hook would
               Click();
           }},
          {"file stays", Settled({file}), clickBelowBar}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MoveTo(ItemCentre(bar, 1));
        ASSERT_TRUE(PumpUntil([&] { return bar.HotItem() == 1; }));
        std::vector<Script::Step> steps = c.steps;
        steps.insert(steps.begin(),
                     Script::Step{"a popup shows", [] { return !OpenPopups().empty(); }, noteHook});
        Script script(steps);
        hookWhileOpen = false;
        Click();  // the popup runs inside this pump, until the script has closed it
        EXPECT_TRUE(PumpUntil([&] { return script.Done() && OpenPopups().empty(); }, 15000));
        EXPECT_TRUE(script.failures().empty()) << script.failures().front();
        EXPECT_TRUE(hookWhileOpen);
        EXPECT_FALSE(reopened) << "no popup opens while one is shown";
        EXPECT_FALSE(MenuHook::Installed()) << "the hook lives only while a popup is shown";
        EXPECT_EQ(CallbackFailureCount(), 0) << LastCallbackFailure();
        EXPECT_LE(bar.OpenItem(), 0) << "no item open";
        PumpFor(100);
    }
}

}  // namespace
}  // namespace quenlor::test
