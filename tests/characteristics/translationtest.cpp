#include "tests/characteristics/characteristicsfixture.h"

#include "devicecontrol/directionfinder/kvtcommon/kvttranslation.h"

#include <QCoreApplication>
#include <QTranslator>

namespace {

using TranslationTest = CharacteristicsFixture;

TEST_F(TranslationTest, SetupMessagesComeOutInGermanWithTheCatalogueInstalled)
{
    AddAntenna("HR482", "RP29", 3e5, 3e7);
    AddAntenna("HR469", "VQ28", 2e7, 3e9)->m_fMinRange = 3.1e7;
    Bind();
    QTranslator translator;
    ASSERT_TRUE(KVTTranslation::Load(translator, QLocale(QLocale::German, QLocale::Germany)));
    ASSERT_TRUE(QCoreApplication::installTranslator(&translator));

    QString message;
    EXPECT_FALSE(m_characteristics.CheckAntennaSetupValidity(nullptr, message));
    EXPECT_EQ(message, QString::fromUtf8("Der Frequenzbereich ist nicht lückenlos abgedeckt."));
    EXPECT_TRUE(m_characteristics.MakeAntennaSetupValid(message));
    EXPECT_EQ(message, QString::fromUtf8(
                           "Die automatische Antennenkonfiguration hat den Bereich von 0.3 MHz bis 3000 MHz "
                           "erfolgreich abgedeckt."));

    QCoreApplication::removeTranslator(&translator);
    EXPECT_TRUE(m_characteristics.MakeAntennaSetupValid(message));
    EXPECT_EQ(message, "Antenna setup is already valid. Nothing changed.");
}

} // namespace
