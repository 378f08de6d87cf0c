#include "text/password_masking.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

struct Shape {
    const char* line;
    const char* shown;
};

TEST(MaskPasswords, HidesEveryZipAndDatabasePasswordOfALineHoweverItIsQuoted) {
    const Shape shapes[] = {
        {R"(C:\src\*.* D:\bak /Z=secret /S)", R"(C:\src\*.* D:\bak /Z=*** /S)"},
        {R"(C:\src\*.* D:\bak /C=wg/user/pw/secret /c=secret)", R"(C:\src\*.* D:\bak /C=*** /c=***)"},
        {"C:\\src\\*.* D:\\bak\t/Z=secret\t/S", "C:\\src\\*.* D:\\bak\t/Z=***\t/S"},
        {R"(C:\src\*.* D:\bak /Z="two words" /S)", R"(C:\src\*.* D:\bak /Z=*** /S)"},
        {R"(C:\src\*.* D:\bak "/Z=two words" /S)", R"(C:\src\*.* D:\bak "/Z=***" /S)"},
        {R"(C:\src\*.* D:\bak /Z=a"b c"d /S)", R"(C:\src\*.* D:\bak /Z=*** /S)"},
        // A quote left open runs to the end of the line, and the value with it.
        {R"("C:\src\*.* D:\bak /Z=two words /S)", R"("C:\src\*.* D:\bak /Z=***)"},
        {R"(C:\src\*.* D:\bak /Z="two words /S)", R"(C:\src\*.* D:\bak /Z=***")"},
        {R"(C:\src\*.* D:\bak/Z=glued)", R"(C:\src\*.* D:\bak/Z=***)"},
        // No password: nothing to hide.
        {R"(C:\src\*.* D:\bak /Z= /S)", R"(C:\src\*.* D:\bak /Z= /S)"},
        {R"(C:\src\*.* D:\bak /Z="" /Z /C /Zip=x /K=3)", R"(C:\src\*.* D:\bak /Z="" /Z /C /Zip=x /K=3)"},
        {"/Z=", "/Z="},
        // Quotes that break up the key: the split of the line drops them all the same.
        {R"(C:\src\*.* D:\bak "/Z"=secret /S)", R"(C:\src\*.* D:\bak /Z=*** /S)"},
        {R"(C:\src\*.* D:\bak /"z"=secret /C"="pw)", R"(C:\src\*.* D:\bak /z=*** /C=***)"},
    };
    for (const Shape& shape : shapes) EXPECT_EQ(MaskPasswords(shape.line), shape.shown) << shape.line;
}

}  // namespace
}  // namespace quillet
