#include "platform/Archive.h"
#include "platform/ObList.h"
#include "platform/StringObMap.h"

#include <QStringList>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <vector>

namespace {

// Every test object counts itself, so each failure path can show that nothing was left behind.
struct Counted
{
    static inline int live = 0;
    Counted() { ++live; }
    Counted(const Counted&) = delete;
    ~Counted() { --live; }
};

class ArNode : public Persistent, Counted
{
    PV_DECLARE_SERIAL(ArNode)
public:
    float weight = 0;
    QString label;
    ArNode* next = nullptr; // not owned

    void Serialize(Archive& ar) override
    {
        if (ar.isStoring()) {
            ar.writeFloat(weight);
            ar.writeString(label);
            ar.writeObject(next);
        } else {
            weight = ar.readFloat();
            label = ar.readString();
            next = ar.readObject<ArNode>();
        }
    }
};
PV_IMPLEMENT_SERIAL(ArNode, Persistent, 0)

class ArLeaf : public Persistent, Counted
{
    PV_DECLARE_SERIAL(ArLeaf)
};
PV_IMPLEMENT_SERIAL(ArLeaf, Persistent, 0)

// Owns two objects of any class.
class ArPair : public Persistent, Counted
{
    PV_DECLARE_SERIAL(ArPair)
public:
    std::unique_ptr<Persistent> first;
    std::unique_ptr<Persistent> second;
    int32_t tail = 0;

    void Serialize(Archive& ar) override
    {
        if (ar.isStoring()) {
            ar.writeObject(first.get());
            ar.writeObject(second.get());
            ar.writeInt(tail);
        } else {
            first = ar.readOwnedObject<Persistent>();
            second = ar.readOwnedObject<Persistent>();
            tail = ar.readInt();
        }
    }
};
PV_IMPLEMENT_SERIAL(ArPair, Persistent, 0)

// Versionable, current schema 2: schema 1 records lack `extra`.
class ArVersioned : public Persistent, Counted
{
    PV_DECLARE_SERIAL(ArVersioned)
public:
    ArNode* child = nullptr; // not owned
    int32_t extra = -1;
    uint32_t schemaSeen = 0;
    uint32_t schemaAskedAgain = 0;

    void Serialize(Archive& ar) override
    {
        if (ar.isStoring()) {
            ar.writeObject(child);
            ar.writeInt(extra);
            return;
        }
        // The child is read first: its own record must not use up this object's schema.
        child = ar.readObject<ArNode>();
        schemaSeen = ar.objectSchema();
        schemaAskedAgain = ar.objectSchema();
        if (schemaSeen >= 2)
            extra = ar.readInt();
    }
};
PV_IMPLEMENT_SERIAL(ArVersioned, Persistent, versionableSchema | 2)

// Known by name, but never created from a file.
class ArAbstract : public Persistent, Counted
{
    PV_DECLARE_DYNAMIC(ArAbstract)
};
PV_IMPLEMENT_DYNAMIC(ArAbstract, Persistent)
[[maybe_unused]] const bool arAbstractRegistered =
    (RuntimeClass::add(&ArAbstract::classRecord), true);

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

QByteArray word(uint16_t v)
{
    char b[2];
    qToLittleEndian(v, b);
    return QByteArray(b, 2);
}

QByteArray newClass(const QByteArray& name, uint16_t schema = 0)
{
    return hex("FFFF") + word(schema) + word(uint16_t(name.size())) + name;
}

// An ArNode record after its tag: weight 1.0, a one-letter label, then the `next` tag.
QByteArray nodeRecord(const char* next = "0000")
{
    return hex("0000803F 01") + "n" + hex(next);
}

ArchiveException::Cause causeOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const ArchiveException& e) {
        return e.cause();
    }
    return ArchiveException::Cause::none;
}

TEST(Archive, EmptyDocument)
{
    Archive ar;
    std::vector<Persistent*> files;
    std::vector<Persistent*> pages;
    StringObMap groups;
    writeObList(ar, files);
    writeObList(ar, pages);
    const char marker[2] = {0x34, 0x12};
    ar.write(marker, 2);
    groups.Serialize(ar);
    EXPECT_EQ(ar.data(), hex("0000 0000 3412 0000"));

    Archive in(ar.data());
    readObList(in, files, ObListOwnership::owns);
    readObList(in, pages, ObListOwnership::owns);
    char readMarker[2] = {};
    EXPECT_EQ(in.read(readMarker, 2), 2u);
    groups.Serialize(in);
    EXPECT_TRUE(files.empty());
    EXPECT_TRUE(pages.empty());
    EXPECT_TRUE(groups.isEmpty());
    EXPECT_EQ(in.bytesLeft(), 0u);
}

TEST(Archive, ShortRawReadReturnsWhatIsThere)
{
    Archive in(hex("0000 0000 34"));
    std::vector<Persistent*> files;
    readObList(in, files);
    readObList(in, files);
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(in.read(buffer, 4), 1u);
    EXPECT_EQ(QByteArray(buffer, 4), hex("34") + "xxx");
    EXPECT_EQ(in.read(buffer, 4), 0u);
}

TEST(Archive, PrimitivesAreLittleEndian)
{
    Archive ar;
    ar.writeByte(0xAB);
    ar.writeWord(0x1234);
    ar.writeInt(-2);
    ar.writeLong(0x01020304);
    ar.writeDword(0xFEDCBA98u);
    ar.writeFloat(1.5f);
    ar.writeDouble(-2.0);
    const QByteArray expected = hex("AB 3412 FEFFFFFF 04030201 98BADCFE 0000C03F 00000000000000C0");
    ASSERT_EQ(ar.data(), expected);

    Archive in(expected);
    EXPECT_EQ(in.readByte(), 0xAB);
    EXPECT_EQ(in.readWord(), 0x1234);
    EXPECT_EQ(in.readInt(), -2);
    EXPECT_EQ(in.readLong(), 0x01020304);
    EXPECT_EQ(in.readDword(), 0xFEDCBA98u);
    EXPECT_EQ(in.readFloat(), 1.5f);
    EXPECT_EQ(in.readDouble(), -2.0);
    EXPECT_EQ(in.bytesLeft(), 0u);
}

struct TruncatedCase
{
    const char* name;
    const char* bytes;
    std::function<void(Archive&)> read;
};

void PrintTo(const TruncatedCase& c, std::ostream* os)
{
    *os << c.name;
}

class ArchiveTruncated : public testing::TestWithParam<TruncatedCase>
{};

TEST_P(ArchiveTruncated, RaisesEndOfFile)
{
    Archive in(hex(GetParam().bytes));
    EXPECT_EQ(causeOf([&] { GetParam().read(in); }), ArchiveException::Cause::endOfFile);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ArchiveTruncated,
    testing::Values(
        TruncatedCase{"byte", "", [](Archive& a) { a.readByte(); }},
        TruncatedCase{"word", "01", [](Archive& a) { a.readWord(); }},
        TruncatedCase{"dword", "010203", [](Archive& a) { a.readDword(); }},
        TruncatedCase{"double", "01020304050607", [](Archive& a) { a.readDouble(); }},
        TruncatedCase{"shortString", "05 616263", [](Archive& a) { a.readString(); }},
        TruncatedCase{"stringPrefix", "FF 01", [](Archive& a) { a.readString(); }},
        TruncatedCase{"hostileString", "FF FFFF FFFFFF7F", [](Archive& a) { a.readString(); }},
        TruncatedCase{"shortWideString", "FF FEFF 02 6100", [](Archive& a) { a.readString(); }},
        TruncatedCase{"hostileWideString", "FF FEFF FF FFFF FFFFFFFF 6100",
                      [](Archive& a) { a.readRawString(); }},
        TruncatedCase{"countPrefix", "FFFF 0100", [](Archive& a) { a.readCount(1); }},
        TruncatedCase{"hostileCount", "FFFF FFFFFF7F 0000", [](Archive& a) { a.readCount(2); }},
        TruncatedCase{"countTooBigForElements", "0300 00000000",
                      [](Archive& a) { a.readCount(2); }},
        TruncatedCase{"hostileMap", "FFFF 00000100",
                      [](Archive& a) {
                          StringObMap map;
                          map.Serialize(a);
                      }},
        TruncatedCase{"hostileList", "FFFF FFFFFFFF 0000",
                      [](Archive& a) {
                          std::vector<std::unique_ptr<ArNode>> list;
                          readObList(a, list);
                      }}),
    [](const auto& info) { return std::string(info.param.name); });

struct StringCase
{
    int length;
    const char* prefix;
};

void PrintTo(const StringCase& c, std::ostream* os)
{
    *os << "length " << c.length;
}

class ArchiveString : public testing::TestWithParam<StringCase>
{};

TEST_P(ArchiveString, PrefixAndRoundTrip)
{
    const QByteArray text(GetParam().length, 'x');
    Archive ar;
    ar.writeString(QString::fromLatin1(text));
    ar.writeRawString(text);
    const QByteArray one = hex(GetParam().prefix) + text;
    ASSERT_EQ(ar.data(), one + one);

    Archive in(ar.data());
    EXPECT_EQ(in.readString(), QString::fromLatin1(text));
    EXPECT_EQ(in.readRawString(), text);
    EXPECT_EQ(in.bytesLeft(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Lengths, ArchiveString,
                         testing::Values(StringCase{0, "00"}, StringCase{254, "FE"},
                                         StringCase{255, "FF FF00"}, StringCase{300, "FF 2C01"},
                                         StringCase{0xFFFD, "FF FDFF"},
                                         StringCase{0xFFFE, "FF FFFF FEFF0000"},
                                         StringCase{0xFFFF, "FF FFFF FFFF0000"}));

struct DecodeCase
{
    const char* name;
    const char* bytes;
    const char16_t* text;
    const char* utf8;
};

void PrintTo(const DecodeCase& c, std::ostream* os)
{
    *os << c.name;
}

class ArchiveStringDecode : public testing::TestWithParam<DecodeCase>
{};

TEST_P(ArchiveStringDecode, ReadsAsTextAndBytes)
{
    const QByteArray bytes = hex(GetParam().bytes);
    Archive in(bytes + bytes);
    EXPECT_EQ(in.readString(), QString::fromUtf16(GetParam().text));
    EXPECT_EQ(in.readRawString(), hex(GetParam().utf8));
    EXPECT_EQ(in.bytesLeft(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ArchiveStringDecode,
    testing::Values(DecodeCase{"utf8", "03 63 C3A9", u"c\u00e9", "63 C3A9"},
                    // A file written where characters are single Latin-1 bytes.
                    DecodeCase{"latin1", "03 63 E9 64", u"c\u00e9d", "63 E9 64"},
                    DecodeCase{"wide", "FF FEFF 03 6100 E900 AC20", u"a\u00e9\u20ac",
                               "61 C3A9 E282AC"},
                    DecodeCase{"wideWordLength", "FF FEFF FF 0200 6100 6200", u"ab", "61 62"},
                    DecodeCase{"wideEmpty", "FF FEFF 00", u"", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Archive, WritesTextAsUtf8)
{
    Archive ar;
    ar.writeString(QStringLiteral("c\u00e9"));
    EXPECT_EQ(ar.data(), hex("03 63 C3A9"));
}

struct CountCase
{
    uint32_t count;
    const char* bytes;
};

void PrintTo(const CountCase& c, std::ostream* os)
{
    *os << "count " << c.count;
}

class ArchiveCount : public testing::TestWithParam<CountCase>
{};

TEST_P(ArchiveCount, PrefixAndRoundTrip)
{
    Archive ar;
    ar.writeCount(GetParam().count);
    ASSERT_EQ(ar.data(), hex(GetParam().bytes));

    // Exactly enough bytes for the elements behind the count.
    Archive in(ar.data() + QByteArray(qsizetype(GetParam().count), '\0'));
    EXPECT_EQ(in.readCount(1), GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, ArchiveCount,
                         testing::Values(CountCase{0, "0000"}, CountCase{0xFFFE, "FEFF"},
                                         CountCase{0xFFFF, "FFFF FFFF0000"},
                                         CountCase{0x10000, "FFFF 00000100"}));

class ArchiveObjects : public testing::Test
{
protected:
    void TearDown() override { EXPECT_EQ(Counted::live, 0); }
};

TEST_F(ArchiveObjects, SharedObjectIsWrittenOnceAndReadAsOne)
{
    QByteArray bytes;
    {
        ArNode a, b;
        a.weight = 1.5f;
        a.label = "a";
        a.next = &b;
        b.weight = 2.0f;
        b.label = "b";
        Archive ar;
        ar.writeObject(&a);
        ar.writeObject(&b);
        ar.writeObject(nullptr);
        bytes = ar.data();
    }
    // ArNode is class 1, a object 2, b object 3.
    const QByteArray expected = newClass("ArNode") + hex("0000C03F 01") + "a" + hex("0180") +
                                hex("00000040 01") + "b" + hex("0000") + hex("0300") + hex("0000");
    ASSERT_EQ(bytes, expected);

    Archive in(bytes);
    ArNode* a = in.readObject<ArNode>();
    ArNode* b = in.readObject<ArNode>();
    EXPECT_EQ(in.readObject<ArNode>(), nullptr);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->next, b);
    EXPECT_EQ(a->weight, 1.5f);
    EXPECT_EQ(b->label, "b");
    EXPECT_EQ(b->next, nullptr);
    EXPECT_EQ(Counted::live, 2);
}

TEST_F(ArchiveObjects, RecordMayReferToItsOwnObject)
{
    QByteArray bytes;
    {
        ArNode a;
        a.next = &a;
        Archive ar;
        ar.writeObject(&a);
        bytes = ar.data();
    }
    EXPECT_EQ(bytes, newClass("ArNode") + hex("00000000 00 0200"));
    Archive in(bytes);
    ArNode* a = in.readObject<ArNode>();
    EXPECT_EQ(a->next, a);
}

TEST_F(ArchiveObjects, OwnedObjectsAreDeletedByTheirOwner)
{
    QByteArray bytes;
    {
        ArPair pair;
        pair.first = std::make_unique<ArNode>();
        pair.second = std::make_unique<ArLeaf>();
        pair.tail = 7;
        Archive ar;
        ar.writeObject(&pair);
        bytes = ar.data();
    }
    // Classes 1, 3, 5 and objects 2, 4, 6 alternate on the shared counter.
    EXPECT_EQ(bytes, newClass("ArPair") + newClass("ArNode") + hex("00000000 00 0000") +
                         newClass("ArLeaf") + hex("07000000"));

    Archive in(bytes);
    std::unique_ptr<ArPair> pair = in.readOwnedObject<ArPair>();
    ASSERT_TRUE(pair);
    EXPECT_TRUE(pair->first->isKindOf(&ArNode::classRecord));
    EXPECT_TRUE(pair->second->isKindOf(&ArLeaf::classRecord));
    EXPECT_EQ(pair->tail, 7);
    EXPECT_TRUE(in.releaseUnclaimed().empty());
}

TEST_F(ArchiveObjects, UnclaimedObjectsCanBeHandedOver)
{
    Archive in(newClass("ArNode") + nodeRecord() + hex("0180") + nodeRecord());
    ArNode* kept = in.readObject<ArNode>();
    std::unique_ptr<ArNode> owned(in.readObject<ArNode>());
    in.claim(owned.get());
    const std::vector<Persistent*> released = in.releaseUnclaimed();
    ASSERT_EQ(released.size(), 1u);
    EXPECT_EQ(released[0], kept);
    EXPECT_EQ(causeOf([&] { in.claim(kept); }), ArchiveException::Cause::badIndex);
    delete kept;
}

struct SchemaCase
{
    uint16_t stored;
    QByteArray record;
    int32_t extra;
};

void PrintTo(const SchemaCase& c, std::ostream* os)
{
    *os << "schema " << c.stored;
}

class ArchiveVersioned : public ArchiveObjects, public testing::WithParamInterface<SchemaCase>
{};

TEST_P(ArchiveVersioned, ObjectSeesStoredSchemaOnce)
{
    const QByteArray child = newClass("ArNode") + nodeRecord();
    Archive in(newClass("ArVersioned", GetParam().stored) + child + GetParam().record);
    auto* obj = in.readObject<ArVersioned>();
    ASSERT_TRUE(obj);
    ASSERT_TRUE(obj->child);
    EXPECT_EQ(obj->schemaSeen, GetParam().stored);
    EXPECT_EQ(obj->schemaAskedAgain, 0xFFFFFFFFu);
    EXPECT_EQ(obj->extra, GetParam().extra);
    EXPECT_EQ(in.bytesLeft(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Schemas, ArchiveVersioned,
                         testing::Values(SchemaCase{1, {}, -1}, SchemaCase{2, hex("05000000"), 5}));

TEST_F(ArchiveObjects, VersionableClassWritesItsSchemaWord)
{
    ArVersioned obj;
    obj.extra = 3;
    Archive ar;
    ar.writeObject(&obj);
    EXPECT_EQ(ar.data(), newClass("ArVersioned", 2) + hex("0000 03000000"));
}

TEST_F(ArchiveObjects, LargeIndicesUseTheLongForm)
{
    const int leafCount = 0x8000;
    QByteArray bytes;
    {
        std::vector<std::unique_ptr<ArLeaf>> leaves;
        for (int i = 0; i < leafCount; ++i)
            leaves.push_back(std::make_unique<ArLeaf>());
        ArNode first, second;
        Archive ar;
        writeObList(ar, leaves);
        const qsizetype afterList = ar.data().size();
        // ArLeaf is class 1, the leaves are objects 2 .. 0x8001.
        ar.writeObject(leaves[0x7FFE - 2].get());
        ar.writeObject(leaves[0x7FFF - 2].get());
        ar.writeObject(leaves.back().get());
        ar.writeObject(&first);  // new class 0x8002, object 0x8003
        ar.writeObject(&second); // class 0x8002 by index, object 0x8004
        ar.writeObject(&second);
        bytes = ar.data();
        const QByteArray tail = hex("FE7F") + hex("FF7F FF7F0000") + hex("FF7F 01800000") +
                                newClass("ArNode") + hex("00000000 00 0000") +
                                hex("FF7F 02800080") + hex("00000000 00 0000") +
                                hex("FF7F 04800000");
        EXPECT_EQ(bytes.mid(afterList), tail);
    }

    Archive in(bytes);
    std::vector<std::unique_ptr<ArLeaf>> leaves;
    readObList(in, leaves);
    ASSERT_EQ(leaves.size(), size_t(leafCount));
    EXPECT_EQ(in.readObject<ArLeaf>(), leaves[0x7FFE - 2].get());
    EXPECT_EQ(in.readObject<ArLeaf>(), leaves[0x7FFF - 2].get());
    EXPECT_EQ(in.readObject<ArLeaf>(), leaves.back().get());
    ArNode* first = in.readObject<ArNode>();
    ArNode* second = in.readObject<ArNode>();
    EXPECT_NE(first, second);
    EXPECT_EQ(in.readObject<ArNode>(), second);
    EXPECT_EQ(in.bytesLeft(), 0u);
}

struct MalformedCase
{
    const char* name;
    QByteArray bytes;
    ArchiveException::Cause cause;
    const RuntimeClass* expected = &ArNode::classRecord;
};

void PrintTo(const MalformedCase& c, std::ostream* os)
{
    *os << c.name;
}

class ArchiveMalformed : public ArchiveObjects, public testing::WithParamInterface<MalformedCase>
{};

// Reads object references until the input ends; every case must fail before that.
TEST_P(ArchiveMalformed, EndsInArchiveException)
{
    Archive in(GetParam().bytes);
    EXPECT_EQ(causeOf([&] {
                  while (in.bytesLeft() > 0)
                      in.readObject(GetParam().expected);
              }),
              GetParam().cause);
}

const QByteArray longName(64, 'A');

INSTANTIATE_TEST_SUITE_P(
    Inputs, ArchiveMalformed,
    testing::Values(
        MalformedCase{"truncatedTag", hex("01"), ArchiveException::Cause::endOfFile},
        MalformedCase{"truncatedClassName", hex("FFFF 0000 0600") + "ArN",
                      ArchiveException::Cause::endOfFile},
        MalformedCase{"truncatedRecord", newClass("ArNode") + hex("0000"),
                      ArchiveException::Cause::endOfFile},
        MalformedCase{"hostileStringInRecord", newClass("ArNode") + hex("0000803F FFFFFFFFFFFF7F"),
                      ArchiveException::Cause::endOfFile},
        MalformedCase{"classNameOf64", newClass(longName), ArchiveException::Cause::badClass},
        MalformedCase{"classNameLengthOf64Alone", hex("FFFF 0000 4000"),
                      ArchiveException::Cause::badClass},
        MalformedCase{"hostileClassNameLength", hex("FFFF 0000 FFFF 41"),
                      ArchiveException::Cause::badClass},
        MalformedCase{"unknownClass", newClass("Nope"), ArchiveException::Cause::badClass},
        MalformedCase{"classWithoutFactory", newClass("ArAbstract"),
                      ArchiveException::Cause::badClass, &Persistent::classRecord},
        MalformedCase{"badSchema", newClass("ArNode", 1) + nodeRecord(),
                      ArchiveException::Cause::badSchema},
        MalformedCase{"objectIndexAhead", hex("0500"), ArchiveException::Cause::badIndex},
        MalformedCase{"bigObjectIndexAhead", hex("FF7F 00000100"),
                      ArchiveException::Cause::badIndex},
        MalformedCase{"classIndexZero", hex("0080"), ArchiveException::Cause::badIndex},
        MalformedCase{"classIndexAhead", hex("0180"), ArchiveException::Cause::badIndex},
        MalformedCase{"bigClassIndexAhead", hex("FF7F 05000080"),
                      ArchiveException::Cause::badIndex},
        MalformedCase{"bigClassIndexAll", hex("FF7F FFFFFFFF"), ArchiveException::Cause::badIndex},
        MalformedCase{"classIndexOfObject", newClass("ArNode") + nodeRecord() + hex("0280"),
                      ArchiveException::Cause::badIndex},
        MalformedCase{"objectIndexOfClass", newClass("ArNode") + nodeRecord() + hex("0100"),
                      ArchiveException::Cause::badIndex},
        MalformedCase{"wrongNewClass", newClass("ArLeaf"), ArchiveException::Cause::badClass},
        // A pair owning a leaf is read; then a new object of the leaf's class by index, and a
        // reference to the leaf, where a pair belongs.
        MalformedCase{"wrongClassByIndex",
                      newClass("ArPair") + newClass("ArLeaf") + hex("0000 00000000 0380"),
                      ArchiveException::Cause::badClass, &ArPair::classRecord},
        MalformedCase{"wrongClassByReference",
                      newClass("ArPair") + newClass("ArLeaf") + hex("0000 00000000 0400"),
                      ArchiveException::Cause::badClass, &ArPair::classRecord},
        MalformedCase{"wrongClassInsideRecord",
                      newClass("ArNode") + hex("0000803F 00") + newClass("ArLeaf"),
                      ArchiveException::Cause::badClass},
        // The pair's second member is its first again: two owners for one object.
        MalformedCase{"claimTwice",
                      newClass("ArPair") + newClass("ArLeaf") + hex("0400") + hex("00000000"),
                      ArchiveException::Cause::badIndex, &ArPair::classRecord},
        // The pair would own itself.
        MalformedCase{"claimWhileReading", newClass("ArPair") + hex("0200"),
                      ArchiveException::Cause::badIndex, &ArPair::classRecord},
        // The inner pair owns a node when the input runs out: both pairs and the node go once.
        MalformedCase{"failureInsideOwnedRecord",
                      newClass("ArPair") + hex("0180") + newClass("ArNode") + nodeRecord() +
                          hex("0000") + hex("0000"),
                      ArchiveException::Cause::endOfFile, &ArPair::classRecord}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ArchiveObjects, ListsRefuseNullElements)
{
    Archive in(hex("0200") + newClass("ArLeaf") + hex("0000"));
    std::vector<ArLeaf*> list;
    EXPECT_EQ(causeOf([&] { readObList(in, list, ObListOwnership::owns); }),
              ArchiveException::Cause::badIndex);
    ASSERT_EQ(list.size(), 1u);
    delete list[0];

    Archive out;
    std::vector<Persistent*> withNull{nullptr};
    EXPECT_EQ(causeOf([&] { writeObList(out, withNull); }), ArchiveException::Cause::generic);
}

TEST_F(ArchiveObjects, OwningListLeavesADoublyClaimedElementToTheArchive)
{
    // Second element repeats the first (index 2).
    Archive in(hex("0200") + newClass("ArLeaf") + hex("0200"));
    std::vector<ArLeaf*> list;
    EXPECT_EQ(causeOf([&] { readObList(in, list, ObListOwnership::owns); }),
              ArchiveException::Cause::badIndex);
    ASSERT_EQ(list.size(), 1u);
    delete list[0];
}

TEST_F(ArchiveObjects, ReferenceListKeepsRepeatedElements)
{
    Archive in(hex("0200") + newClass("ArLeaf") + hex("0200"));
    std::vector<ArLeaf*> list;
    readObList(in, list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], list[1]);
}

TEST_F(ArchiveObjects, MisuseIsRefused)
{
    ArAbstract notStorable;
    Archive out;
    EXPECT_EQ(causeOf([&] { out.writeObject(&notStorable); }), ArchiveException::Cause::badClass);
    EXPECT_EQ(causeOf([&] { out.readWord(); }), ArchiveException::Cause::writeOnly);
    Archive in(hex("0000"));
    EXPECT_EQ(causeOf([&] { in.writeWord(1); }), ArchiveException::Cause::readOnly);
    ArLeaf notFromArchive;
    EXPECT_EQ(causeOf([&] { in.claim(&notFromArchive); }), ArchiveException::Cause::badIndex);
}

TEST(StringObMap, IteratesInFrameworkHashOrder)
{
    ArLeaf objects[9];
    const QStringList keys{
        "Group 1", "Group 2", "Group 3", "Axes", "Traces", "a", "b", "r", QStringLiteral("\u00e9")};
    StringObMap map;
    for (qsizetype i = 0; i < keys.size(); ++i)
        map.insert(keys[i], &objects[i]);
    // Buckets: Axes 1, Group 1 7, Group 2 and é 8, Group 3 9, Traces a r 12, b 13; the newest
    // key of a bucket comes first.
    const QStringList expected{
        "Axes", "Group 1", QStringLiteral("\u00e9"), "Group 2", "Group 3", "r", "a", "Traces", "b"};
    QStringList order;
    map.forEach([&](const QString& key, Persistent*) { order << key; });
    EXPECT_EQ(order, expected);

    // A new value keeps the key's place; removal takes just that key.
    map.insert("a", &objects[0]);
    EXPECT_TRUE(map.remove("r"));
    EXPECT_FALSE(map.remove("r"));
    order.clear();
    for (const auto& [key, value] : map)
        order << key;
    QStringList afterRemoval = expected;
    afterRemoval.removeAll("r");
    EXPECT_EQ(order, afterRemoval);
    EXPECT_EQ(map.value("a"), &objects[0]);
    EXPECT_EQ(map.value("r"), nullptr);
    EXPECT_EQ(map.count(), 8);
    map.clear();
    EXPECT_TRUE(map.isEmpty());
    EXPECT_EQ(map.begin(), map.end());
}

TEST(StringObMap, SerializesInIterationOrder)
{
    QByteArray bytes;
    {
        ArLeaf first, second;
        StringObMap map;
        map.insert("b", &first);
        map.insert("a", &second);
        map.insert("r", &first);
        Archive ar;
        map.Serialize(ar);
        bytes = ar.data();
    }
    // a and r share bucket 12, r the newer; b is in 13.
    EXPECT_EQ(bytes, hex("0300") + hex("01") + "r" + newClass("ArLeaf") + hex("01") + "a" +
                         hex("0180") + hex("01") + "b" + hex("0200"));

    Archive in(bytes);
    StringObMap map;
    map.Serialize(in, &ArLeaf::classRecord);
    EXPECT_EQ(map.count(), 3);
    EXPECT_EQ(map.value("r"), map.value("b"));
    EXPECT_NE(map.value("a"), map.value("b"));
    EXPECT_TRUE(map.value("a")->isKindOf(&ArLeaf::classRecord));
}

} // namespace
