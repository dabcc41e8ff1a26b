#include "base/cfgcenter.h"
#include "tests/hostbase/itestmodule.h"

#include <stdexcept>

namespace
{

class TestModuleInstance : public ITestModule
{
public:
    explicit TestModuleInstance(const QString& text)
        : m_strText(text)
    {
        // "owner" holds a second instance of this module and releases it from
        // its destructor, as a client that owns a helper module does.
        if (text == QLatin1String("owner"))
            m_pOwned = CfgCenter::CreateDllInstanceByFileName(QStringLiteral("TestModule.dll"),
                                                              QStringLiteral("owned"), false, false);
    }

    ~TestModuleInstance() override { CfgCenter::DestroyDllInstanceByPointer(m_pOwned); }

    QString GetText() const override { return m_strText; }

private:
    QString m_strText;
    IDllInstance* m_pOwned = nullptr;
};

} // namespace

// The text "fail" makes the factory refuse, as a module does when it cannot
// start; "throw" makes it throw a standard exception, "throw int" anything else.
extern "C" Q_DECL_EXPORT IDllInstance* KvtCreateDllInstance(const QString& text)
{
    if (text == QLatin1String("throw"))
        throw std::runtime_error("cannot start");
    if (text == QLatin1String("throw int"))
        throw 42;
    return text == QLatin1String("fail") ? nullptr : new TestModuleInstance(text);
}
