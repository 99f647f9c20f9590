#pragma once

#include <cstdint>
#include <string_view>

class Archive;
class Persistent;

// Bit 31 of a schema number: objects of the class read older schemas themselves (they ask the
// archive for the stored one) instead of being refused.
inline constexpr uint32_t versionableSchema = 0x80000000u;

// Run-time class record of a persistent class: the name written into files, the schema number
// and the factory the archive uses to re-create objects by class name.
struct RuntimeClass
{
    const char* name;
    uint32_t schema; // bit 31 set: versionable; the low 16 bits are the schema word written
    Persistent* (*factory)();      // null for classes that are never created by the archive
    const RuntimeClass* baseClass; // null at the root

    bool isDerivedFrom(const RuntimeClass* other) const;
    bool isVersionable() const { return (schema & 0x80000000u) != 0; }
    uint16_t schemaWord() const { return uint16_t(schema & 0xFFFFu); }

    // The registry of every persistent class linked into the program.
    static const RuntimeClass* find(std::string_view name);
    static void add(const RuntimeClass* cls);
};

// Base of every object that the archive writes and re-creates by class name.
class Persistent
{
public:
    virtual ~Persistent() = default;
    virtual const RuntimeClass* runtimeClass() const { return &classRecord; }
    virtual void Serialize(Archive& ar);
    bool isKindOf(const RuntimeClass* cls) const { return runtimeClass()->isDerivedFrom(cls); }

    static const RuntimeClass classRecord;
};

// In the class body of a persistent class.
#define PV_DECLARE_SERIAL(cls)                                                                     \
public:                                                                                            \
    static const RuntimeClass classRecord;                                                         \
    const RuntimeClass* runtimeClass() const override                                              \
    {                                                                                              \
        return &cls::classRecord;                                                                  \
    }                                                                                              \
    static Persistent* createObject();

// In the class's source file: defines the record and registers it under the class's name.
#define PV_IMPLEMENT_SERIAL(cls, baseCls, schemaNumber)                                            \
    Persistent* cls::createObject()                                                                \
    {                                                                                              \
        return new cls;                                                                            \
    }                                                                                              \
    const RuntimeClass cls::classRecord{#cls, schemaNumber, &cls::createObject,                    \
                                        &baseCls::classRecord};                                    \
    namespace {                                                                                    \
    [[maybe_unused]] const bool cls##Registered = (RuntimeClass::add(&cls::classRecord), true);    \
    }

// Classes that take part in the class tree (derivation checks) but are never created by the
// archive, such as abstract bases: their record has no factory, so a file naming them is refused.
#define PV_DECLARE_DYNAMIC(cls)                                                                    \
public:                                                                                            \
    static const RuntimeClass classRecord;                                                         \
    const RuntimeClass* runtimeClass() const override                                              \
    {                                                                                              \
        return &cls::classRecord;                                                                  \
    }

#define PV_IMPLEMENT_DYNAMIC(cls, baseCls)                                                         \
    const RuntimeClass cls::classRecord{#cls, 0xFFFF, nullptr, &baseCls::classRecord};
