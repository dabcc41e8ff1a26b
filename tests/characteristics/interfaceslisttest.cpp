#include "devicecontrol/directionfinder/kvtcommon/kvtabstractinterface.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtinformationcenter.h"
#include "devicecontrol/directionfinder/kvtcommon/kvtinterfaceslist.h"

#include <QMetaMethod>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

namespace {

/// Counts its own destruction so that tests can tell who deleted it.
class FakeInterface : public KVTAbstractInterface
{
public:
    FakeInterface(const QString& name, int* pDeleted)
        : KVTAbstractInterface(name)
        , m_pDeleted(pDeleted)
    {
    }
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

class InterfacesListTest : public ::testing::Test
{
protected:
    int m_nDeletedA = 0;
    int m_nDeletedB = 0;
    std::unique_ptr<FakeInterface> m_pA = std::make_unique<FakeInterface>("A", &m_nDeletedA);
    std::unique_ptr<FakeInterface> m_pB = std::make_unique<FakeInterface>("B", &m_nDeletedB);
    KVTInterfacesList m_list;
};

TEST_F(InterfacesListTest, AddRejectsNullAndDuplicateNamesWithoutTakingThem)
{
    EXPECT_FALSE(m_list.Add(nullptr));
    EXPECT_TRUE(m_list.Add(m_pA.get()));
    int deletedDuplicate = 0;
    FakeInterface duplicate("A", &deletedDuplicate);
    EXPECT_FALSE(m_list.Add(&duplicate));
    EXPECT_EQ(m_list.Size(), 1u);
    EXPECT_EQ(m_list.GetInterfaceByName("A"), m_pA.get());
    EXPECT_EQ(m_list.GetInterfaceByName("a"), nullptr);
    EXPECT_EQ(deletedDuplicate, 0);
}

TEST_F(InterfacesListTest, OnlyRemoveDeletesAndOnlyTheNamedInterface)
{
    ASSERT_TRUE(m_list.Add(m_pA.get()));
    ASSERT_TRUE(m_list.Add(m_pB.get()));

    EXPECT_FALSE(m_list.Remove("C"));
    EXPECT_TRUE(m_list.Remove("A"));
    (void)m_pA.release();
    EXPECT_EQ(m_nDeletedA, 1);
    EXPECT_EQ(m_nDeletedB, 0);
    EXPECT_EQ(m_list.Size(), 1u);
    EXPECT_FALSE(m_list.Remove("A"));

    m_list.Clear();
    EXPECT_EQ(m_list.Size(), 0u);
    EXPECT_EQ(m_list.GetInterfaceByName("B"), nullptr);
    EXPECT_EQ(m_pB->GetName(), "B");
    EXPECT_EQ(m_nDeletedB, 0);
}

TEST_F(InterfacesListTest, CopiesAndDestructionLeaveInterfacesAlive)
{
    {
        KVTInterfacesList list;
        ASSERT_TRUE(list.Add(m_pA.get()));
        KVTInterfacesList copy(list);
        EXPECT_EQ(copy.GetInterfaceByName("A"), m_pA.get());
    }
    EXPECT_EQ(m_nDeletedA, 0);
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
    EXPECT_FALSE(iface.IsEnabled());
}

TEST(AbstractInterfaceTest, MetaObjectOffersBothSlotsInTheirFixedOrder)
{
    const QMetaObject& meta = KVTAbstractInterface::staticMetaObject;
    EXPECT_STREQ(meta.className(), "KVTAbstractInterface");
    ASSERT_EQ(meta.methodCount() - meta.methodOffset(), 2);
    EXPECT_EQ(meta.method(meta.methodOffset()).methodSignature(), "SlotOnConfigWidgetDestroyed(QObject*)");
    EXPECT_EQ(meta.method(meta.methodOffset() + 1).methodSignature(), "SlotUpdateConfiguration()");
}

TEST(InformationCenterTest, IsOneInstanceUntilFinalisedThenStartsFresh)
{
    int deleted = 0;
    FakeInterface iface("out", &deleted);
    KVTInformationCenter* pFirst = KVTInformationCenter::Instance();
    EXPECT_EQ(KVTInformationCenter::Instance(), pFirst);
    ASSERT_TRUE(pFirst->GetKVTInterfaces().Add(&iface));

    KVTInformationCenter::Finalise();
    EXPECT_EQ(deleted, 0);
    KVTInformationCenter* pSecond = KVTInformationCenter::Instance();
    EXPECT_EQ(pSecond->GetKVTInterfaces().Size(), 0u);
    EXPECT_EQ(pSecond->GetKVTCharacteristics().GetMaxChannelCount(), KVTCharacteristics::MAX_CHANNEL_COUNT_DEFAULT);
    EXPECT_EQ(pSecond->GetKVTCharacteristics().GetAntennaByIndex(0), nullptr);
    KVTInformationCenter::Finalise();
}

} // namespace
