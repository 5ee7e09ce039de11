#include <gtest/gtest.h>

#include <string>

#include "platform/CMenu.h"

namespace {

TEST(MenuItems, AppendInsertModifyAndRemove) {
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    EXPECT_TRUE(menu.AppendMenu(MF_STRING, 10, "Open"));
    EXPECT_TRUE(menu.AppendMenu(MF_SEPARATOR));
    EXPECT_TRUE(menu.AppendMenu(MF_STRING, 30, "Close"));
    EXPECT_TRUE(menu.InsertMenu(30, MF_BYCOMMAND | MF_STRING, 20, "Save"));
    ASSERT_EQ(menu.GetMenuItemCount(), 4u);
    EXPECT_EQ(menu.GetMenuItemID(0), 10u);
    EXPECT_EQ(menu.GetMenuItemID(1), 0u);  // separator
    EXPECT_EQ(menu.GetMenuItemID(2), 20u);
    EXPECT_EQ(menu.GetMenuItemID(3), 30u);
    EXPECT_EQ(menu.GetMenuItemID(4), UINT(-1));

    EXPECT_TRUE(menu.ModifyMenu(0, MF_BYPOSITION | MF_STRING, 11, "Open..."));
    std::string text;
    EXPECT_EQ(menu.GetMenuString(11, text, MF_BYCOMMAND), 7);
    EXPECT_EQ(text, "Open...");

    EXPECT_TRUE(menu.RemoveMenu(1, MF_BYPOSITION));
    EXPECT_FALSE(menu.RemoveMenu(99, MF_BYCOMMAND));
    EXPECT_EQ(menu.GetMenuItemCount(), 3u);
}

TEST(MenuItems, StatesFollowEnableAndCheck) {
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, 5, "Item");
    EXPECT_EQ(menu.EnableMenuItem(5, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(menu.CheckMenuItem(5, MF_BYCOMMAND | MF_CHECKED), MF_UNCHECKED);
    EXPECT_EQ(menu.GetMenuState(5, MF_BYCOMMAND), MF_GRAYED | MF_CHECKED);
    EXPECT_EQ(menu.EnableMenuItem(5, MF_BYCOMMAND | MF_ENABLED), MF_GRAYED);
    EXPECT_EQ(menu.GetMenuState(5, MF_BYCOMMAND), MF_CHECKED);
    EXPECT_EQ(menu.EnableMenuItem(6, MF_BYCOMMAND), UINT(-1));
}

TEST(MenuItems, CommandsAreFoundInSubmenusAndDeleteDestroysThem) {
    CMenu menu, sub;
    menu.CreatePopupMenu();
    sub.CreatePopupMenu();
    sub.AppendMenu(MF_STRING, 42, "Deep");
    HMENU subHandle = sub.Detach();
    ASSERT_TRUE(menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(subHandle), "More"));
    EXPECT_EQ(menu.GetMenuItemID(0), UINT(-1));
    EXPECT_EQ(menu.GetSubMenu(0), subHandle);
    EXPECT_EQ(menu.GetMenuState(0, MF_BYPOSITION), MF_POPUP | (1u << 8));
    EXPECT_EQ(menu.CheckMenuItem(42, MF_BYCOMMAND | MF_CHECKED), 0u);

    EXPECT_TRUE(menu.DeleteMenu(0, MF_BYPOSITION));
    EXPECT_FALSE(MenuTable::Exists(subHandle));
}

TEST(MenuItems, RefusesPopupsThatDoNotExistOrHoldThemselves) {
    CMenu menu;
    menu.CreatePopupMenu();
    EXPECT_FALSE(menu.AppendMenu(MF_POPUP, 0xDEAD, "Ghost"));
    EXPECT_FALSE(menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(menu.m_hMenu), "Self"));
    EXPECT_EQ(menu.GetMenuItemCount(), 0u);
}

TEST(MenuItems, CycleOfPopupsDoesNotHangLookupsOrDestruction) {
    CMenu a, b;
    a.CreatePopupMenu();
    b.CreatePopupMenu();
    ASSERT_TRUE(a.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(b.m_hMenu), "B"));
    ASSERT_TRUE(b.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(a.m_hMenu), "A"));
    EXPECT_EQ(a.GetMenuState(77, MF_BYCOMMAND), UINT(-1));
    HMENU bHandle = b.Detach();
    EXPECT_TRUE(a.DestroyMenu());
    EXPECT_FALSE(MenuTable::Exists(bHandle));
}

TEST(MenuItems, OwnerDrawnItemsKeepTheirDataValue) {
    CMenu menu;
    menu.CreatePopupMenu();
    static int marker;
    menu.AppendMenu(MF_OWNERDRAW, 7, reinterpret_cast<const char*>(&marker));
    MENUITEMINFO info{};
    info.fMask = MIIM_DATA | MIIM_FTYPE | MIIM_ID;
    ASSERT_TRUE(menu.GetMenuItemInfo(0, &info, TRUE));
    EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(&marker));
    EXPECT_EQ(info.fType, MF_OWNERDRAW);
    EXPECT_EQ(info.wID, 7u);
}

TEST(MenuItems, ItemInfoTextIsCutToTheBuffer) {
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, 1, "Properties");
    char buffer[5] = {'x', 'x', 'x', 'x', 'x'};
    MENUITEMINFO info{};
    info.fMask = MIIM_STRING;
    info.dwTypeData = buffer;
    info.cch = sizeof buffer;
    ASSERT_TRUE(menu.GetMenuItemInfo(1, &info));
    EXPECT_STREQ(buffer, "Prop");
    EXPECT_EQ(info.cch, 10u);
}

TEST(MenuItems, DestroyedHandlesAreNeverReachedAgain) {
    CMenu menu;
    menu.CreatePopupMenu();
    HMENU handle = menu.m_hMenu;
    EXPECT_EQ(CMenu::FromHandlePermanent(handle), &menu);
    EXPECT_TRUE(menu.DestroyMenu());
    EXPECT_EQ(CMenu::FromHandlePermanent(handle), nullptr);
    CMenu again;
    EXPECT_FALSE(again.Attach(handle));
    EXPECT_EQ(again.GetMenuItemCount(), UINT(-1));
}

}  // namespace
