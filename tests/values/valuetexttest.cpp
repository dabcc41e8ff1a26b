#include "valueframework/valueclasses/bearingresult.h"
#include "valueframework/valueclasses/quadfloat.h"
#include "valueframework/valueclasses/trafficcontrolfrequency.h"
#include "valueframework/valueclasses/value.h"
#include "valueframework/valueclasses/valuelist.h"
#include "valueframework/valueclasses/valuenumeric.h"
#include "valueframework/valueclasses/valueselection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace values;

namespace
{

/// Copies `source` into a fresh value through the text form only.
template <class V>
std::unique_ptr<V> ThroughText(const V& source)
{
    auto pTarget = std::make_unique<V>();
    EXPECT_TRUE(pTarget->SetStringValue(source.GetStringValue())) << source.GetStringValue().toStdString();
    return pTarget;
}

template <class T>
void ExpectRoundTrip(const T& value)
{
    Value<T> source(QString(), value);
    EXPECT_TRUE(ThroughText(source)->GetValue() == value) << source.GetStringValue().toStdString();
}

template <class T>
void ExpectListRoundTrip(std::initializer_list<T> items)
{
    ValueList<T> list;
    for (const T& item : items)
        list.PushBack(item);
    EXPECT_EQ(ThroughText(list)->GetItems(), list.GetItems()) << list.GetStringValue().toStdString();
}

TEST(ValueText, EveryTypeRoundTrips)
{
    for (double f : {1.0 / 3.0, -2.5e-308, std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min(),
                     123456789.123456789, -std::numeric_limits<double>::infinity()})
        ExpectRoundTrip(f);
    EXPECT_TRUE(std::signbit(ThroughText(Value<double>(QString(), -0.0))->GetValue()));
    ExpectRoundTrip(true);
    ExpectRoundTrip(false);
    ExpectRoundTrip(std::numeric_limits<int>::min());
    ExpectRoundTrip(std::numeric_limits<unsigned>::max());
    ExpectRoundTrip(std::numeric_limits<qint64>::min());
    ExpectRoundTrip(QStringLiteral("a|b;c\\d"));
    ExpectRoundTrip(QString());

    BearingResult result(Bearing{98.5e6, -1234, 3599, -45, 80}, 0xFFFFFFFFFFFFULL);
    result.SetValueValid(BearingResult::VALUE_ELEVATION, false);
    ExpectRoundTrip(result);
    ExpectListRoundTrip({result, BearingResult()});
    ExpectListRoundTrip({QuadFloat(0.1, 359.99, 1.0 / 7.0, -0.0)});
    ExpectListRoundTrip({TrafficControlFrequency(118.025e6, 7, true), TrafficControlFrequency(100.9, 0, false)});
    // Entries that hold the separators, and an empty entry.
    ExpectListRoundTrip<QString>({"a|b", "\\", "", "|"});
    ExpectListRoundTrip<QString>({});
}

TEST(ValueText, SelectionAndNumericKeepTheirChoice)
{
    ValueSelection selection, copy;
    for (ValueSelection* p : {&selection, &copy})
    {
        p->AddItem("Left", 0.0, 0);
        p->AddItem("Vertical", 0.0, 2);
    }
    EXPECT_EQ(selection.GetCurrentKey(), 0) << "the first item becomes current";
    selection.SetCurrentKey(2);
    EXPECT_TRUE(copy.SetStringValue(selection.GetStringValue()));
    EXPECT_EQ(copy.GetCurrentKey(), 2);
    EXPECT_FALSE(copy.SetStringValue("Diagonal"));
    EXPECT_EQ(copy.GetCurrentKey(), 2);

    ValueNumeric<int> number(QString(), 0, -10, 10, 1);
    EXPECT_TRUE(number.SetStringValue("99")) << "readable text is clamped, not refused";
    EXPECT_EQ(number.GetValue(), 10);
}

TEST(ValueText, UnreadableTextChangesNothing)
{
    Value<int> number(QString(), 5);
    EXPECT_FALSE(number.SetStringValue("5x"));
    EXPECT_EQ(number.GetValue(), 5);
    Value<unsigned> count(QString(), 3);
    EXPECT_FALSE(count.SetStringValue("-1"));
    EXPECT_FALSE(count.SetStringValue("4294967296"));
    EXPECT_EQ(count.GetValue(), 3u);
    Value<bool> flag(QString(), true);
    EXPECT_FALSE(flag.SetStringValue("maybe"));
    EXPECT_TRUE(flag.GetValue());
    Value<BearingResult> bearing;
    EXPECT_FALSE(bearing.SetStringValue("1;2;3;4;5;6;999")) << "validity bits out of range";
    EXPECT_FALSE(bearing.SetStringValue("1;70000;3;4;5;6;0")) << "level does not fit 16 bits";
    ValueList<QuadFloat> ranges;
    ranges.PushBack(QuadFloat());
    EXPECT_FALSE(ranges.SetStringValue("2|1;2;3;4"));
    EXPECT_EQ(ranges.Size(), 1);
}

}
