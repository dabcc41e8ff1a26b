#include "devicecontrol/directionfinder/kvtcommon/kvtabstractinterface.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtinformationcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtinterfaceslist.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

namespace {

/// Counts its own destruction so that tests can tell who deleted it.
class FakeInterface : public KVTAbstractInterface
{
public:
    FakeInterface(const QString& name, int* pDeleted) : KVTAbstractInterface(name), m_pDeleted(pDeleted) {}
    ~FakeInterface() override { ++*m_pDeleted; }

    void SetEnabled(bool enabled) override { m_bEnabled = enabled; }
    void SlotUpdateConfiguration() override {}

    /// Hands the widget to the base the way concrete interfaces do.
    void AdoptWidget(QWidget* pWidget)
    {
        m_pConfigWidget = pWidget;
        connect(pWidget, &QObject::destroyed, this, &KVTAbstractInterface::SlotOnConfigWidgetDestroyed);
    }

private:
    int* m_pDeleted;
};

TEST(InterfacesListTest, OnlyRemoveDeletesAndOnlyTheNamedInterface)
{
    int nDeletedA = 0;
    int nDeletedB = 0;
    auto pA = std::make_unique<FakeInterface>("A", &nDeletedA);
    FakeInterface b("B", &nDeletedB);
    FakeInterface duplicate("A", &nDeletedB);
    // The information centre's list: one instance until finalised, then a fresh one.
    KVTInterfacesList& list = KVTInformationCenter::Instance()->GetKVTInterfaces();
    EXPECT_FALSE(list.Add(nullptr));
    ASSERT_TRUE(list.Add(pA.get()));
    ASSERT_TRUE(list.Add(&b));
    EXPECT_FALSE(list.Add(&duplicate));
    EXPECT_EQ(list.GetInterfaceByName("a"), nullptr);
    {
        KVTInterfacesList copy(list);
        EXPECT_EQ(copy.GetInterfaceByName("A"), pA.get());
        copy.Clear();
        EXPECT_EQ(copy.GetInterfaceByName("B"), nullptr);
    }
    EXPECT_FALSE(list.Remove("C"));
    EXPECT_TRUE(list.Remove("A"));
    (void)pA.release();
    EXPECT_EQ(nDeletedA, 1);
    EXPECT_EQ(list.Size(), 1u);
    EXPECT_FALSE(list.Remove("A"));
    KVTInformationCenter::Finalise();
    EXPECT_EQ(KVTInformationCenter::Instance()->GetKVTInterfaces().Size(), 0u);
    KVTInformationCenter::Finalise();
    // Rejected, cleared, copied and finalised lists leave their interfaces alive.
    EXPECT_EQ(nDeletedB, 0);
}

TEST(AbstractInterfaceTest, ForgetsOnlyItsOwnDestroyedWidget)
{
    int deleted = 0;
    FakeInterface iface("out", &deleted);
    auto pWidget = std::make_unique<QWidget>();
    iface.AdoptWidget(pWidget.get());
    QObject other;
    iface.SlotOnConfigWidgetDestroyed(&other);
    EXPECT_EQ(iface.GetConfigWidget(), pWidget.get());
    pWidget.reset();
    EXPECT_EQ(iface.GetConfigWidget(), nullptr);
}

} // namespace
