// tests/win32/framework/test_resources.h: ids of the framework tests' own dialog template.
#pragma once
#define IDD_TEST_CLIENT 500
#define IDC_TEST_FIELD 501
#define IDC_TEST_OTHER 502
