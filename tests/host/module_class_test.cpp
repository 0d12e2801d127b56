// The module class's host interface: stored properties, conversions, events.

#include <gtest/gtest.h>

#include <vector>

#include "contracts/cinterface_access.h"
#include "platform/com/events.h"
#include "tests/host/module_fixture.h"

namespace {

using host::Cinterface;

class ModuleClass : public test::RegistryInTempDir {};

// Receives the module's DataTransfer events.
class TransferSink : public com::ComObject<TransferSink, host::IModuleEvents> {
  public:
    com::HRESULT DataTransfer(const com::Variant& data) noexcept override {
        received.push_back(data);
        return com::S_OK;
    }
    std::vector<com::Variant> received;
};

TEST_F(ModuleClass, ANewInstanceRefersToItselfAndIsInactive) {
    auto m = NewModule();
    auto dll = host::GetRef(m.Get(), &Cinterface::get_ActiveDll);
    EXPECT_TRUE(com::SameObject(dll.Get(), m.Get()));
    EXPECT_EQ(host::GetValue(m.Get(), &Cinterface::get_IsActive), com::VARIANT_FALSE);
    EXPECT_FALSE(host::GetRef(m.Get(), &Cinterface::get_ActiveFrame));
    EXPECT_FALSE(host::GetRef(m.Get(), &Cinterface::get_Cwindow));
}

TEST_F(ModuleClass, ConvertsAndKeepsValuesAsTheHostGivesThem) {
    auto m = NewModule();
    // Top and Left take any value convertible to a 32-bit integer and read back as one.
    ASSERT_EQ(m->put_Top(com::Variant("120")), com::S_OK);
    auto top = host::GetValue(m.Get(), &Cinterface::get_Top);
    EXPECT_EQ(top.Type(), com::VarType::Long);
    EXPECT_EQ(top, com::Variant(120));
    // A value that does not convert is dropped without an error crossing the interface.
    EXPECT_EQ(m->put_Left(com::Variant("sinistra")), com::S_OK);
    EXPECT_EQ(host::GetValue(m.Get(), &Cinterface::get_Left), com::Variant(0));

    // WindowState and ProgramMode keep 16 bits: a value beyond keeps the previous one.
    m->put_WindowState(2);
    EXPECT_EQ(m->put_WindowState(40000), com::S_OK);
    EXPECT_EQ(host::GetValue(m.Get(), &Cinterface::get_WindowState), 2);
    m->put_ProgramMode(1);
    m->put_ProgramMode(-40000);
    EXPECT_EQ(host::GetValue(m.Get(), &Cinterface::get_ProgramMode), 1);

    m->put_Caption(com::Variant("Criteri"));
    EXPECT_EQ(host::GetValue(m.Get(), &Cinterface::get_Caption), com::Variant("Criteri"));
    m->put_IsActive(com::VARIANT_TRUE);
    EXPECT_EQ(host::GetValue(m.Get(), &Cinterface::get_IsActive), com::VARIANT_TRUE);

    // Filtro is accepted and forgotten.
    m->put_Filtro(com::Variant("x"));
    EXPECT_TRUE(host::GetValue(m.Get(), &Cinterface::get_Filtro).IsEmpty());
}

TEST_F(ModuleClass, TransferDataRaisesDataTransferOnce) {
    auto m = NewModule();
    auto sink = com::ComPtr<TransferSink>(new TransferSink());
    com::EventConnection c;
    ASSERT_TRUE(c.Connect<host::IModuleEvents>(m.Get(), sink.Get()));
    com::Variant result(1);
    com::Variant data(com::VariantArray{com::Variant("CODAINDC")});
    ASSERT_EQ(m->TransferData(data, &result), com::S_OK);
    EXPECT_TRUE(result.IsEmpty());
    ASSERT_EQ(sink->received.size(), 1u);
    EXPECT_EQ(sink->received[0], data);
}

TEST_F(ModuleClass, CloseFormWithoutAWindowAnswersTrue) {
    auto m = NewModule();
    com::Variant closed;
    ASSERT_EQ(m->CloseForm(&closed), com::S_OK);
    EXPECT_EQ(closed, com::Variant(true));
}

TEST_F(ModuleClass, ActiveDllMayBeReplacedAndCleared) {
    auto m = NewModule();
    ASSERT_EQ(m->putref_ActiveDll(nullptr), com::S_OK);
    EXPECT_FALSE(host::GetRef(m.Get(), &Cinterface::get_ActiveDll));
    m->putref_ActiveDll(m.Get());
    EXPECT_TRUE(com::SameObject(host::GetRef(m.Get(), &Cinterface::get_ActiveDll).Get(), m.Get()));
}

}  // namespace
