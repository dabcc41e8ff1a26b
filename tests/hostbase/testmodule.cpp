#include "tests/hostbase/itestmodule.h"

namespace
{

class TestModuleInstance : public ITestModule
{
public:
    explicit TestModuleInstance(const QString& text)
        : m_strText(text)
    {
    }

    QString GetText() const override { return m_strText; }

private:
    QString m_strText;
};

} // namespace

// The text "fail" makes the factory refuse, as a module does when it cannot start.
extern "C" Q_DECL_EXPORT IDllInstance* KvtCreateDllInstance(const QString& text)
{
    return text == QLatin1String("fail") ? nullptr : new TestModuleInstance(text);
}
