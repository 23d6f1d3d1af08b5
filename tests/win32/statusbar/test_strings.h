// tests/win32/statusbar/test_strings.h: string ids of the status-bar tests' own resources.
#pragma once
#define IDS_TEST_HINT 400           // an ordinary hint
#define IDS_TEST_LONG_HINT 401      // longer than a hint may be shown
#define IDS_TEST_NO_STRING 402      // deliberately missing
#define IDS_TEST_FEW_WORDS 410      // indicator words: fewer than six
#define IDS_TEST_MANY_WORDS 411     // indicator words: more than six
#define IDS_TEST_LIST_LOW 32000     // just below the window-list items
#define IDS_TEST_LIST_ITEM 32005    // a window-list item
#define IDS_TEST_LIST_HIGH 32010    // just above them
