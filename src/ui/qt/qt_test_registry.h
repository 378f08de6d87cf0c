#pragma once
// The window test classes, registered by name so that each can run on its own.

#include <QObject>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace quillet::qt::testing {

using TestFactory = std::function<std::unique_ptr<QObject>()>;

inline std::map<std::string, TestFactory>& TestClasses() {
    static std::map<std::string, TestFactory> classes;
    return classes;
}

struct RegisterTestClass {
    RegisterTestClass(const std::string& name, TestFactory make) { TestClasses().emplace(name, std::move(make)); }
};

}  // namespace quillet::qt::testing

#define QUILLET_QT_TEST(Class) \
    static const quillet::qt::testing::RegisterTestClass register_##Class(#Class, [] { return std::make_unique<Class>(); })
