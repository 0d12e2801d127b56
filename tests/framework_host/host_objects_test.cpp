#include <gtest/gtest.h>

#include "contracts/progids.h"
#include "framework/global_object.h"
#include "framework/host_classes.h"
#include "framework/media_link.h"
#include "platform/ado/recordset.h"
#include "platform/com/registry.h"
#include "platform/ui/headless.h"
#include "tests/ado/temp_database.h"

// Host objects on a real SQLite file with the schema.
class HostObjects : public dravel::testing::TempDatabase {};

TEST_F(HostObjects, CompanyValuesComeFromHostDitte) {
    conn_->Execute(
        "INSERT INTO HOST_DITTE (DITTA_CODICE, DITTA_RAGSOC, DITTA_PARAMTIPICONTO, "
        "DITTA_ANNIDACLASSI) VALUES (7, 'Ditta Sette', 4, 1), (3, 'Ditta Tre', NULL, 0)");

    auto seven = framework::Company::Load(*conn_, 7);
    EXPECT_EQ(seven->CompanyCode(), com::Variant(int32_t{7}));  // a Long, not a Double
    EXPECT_EQ(seven->CompanyCode().Type(), com::VarType::Long);
    EXPECT_TRUE(com::Variant::Equal(seven->AccountTypesParameter(), com::Variant(4)));
    EXPECT_TRUE(com::Variant::Equal(seven->CompanyOptions()->ItemClassNesting(), com::Variant(1)));
    EXPECT_EQ(seven->Name(), "Ditta Sette");

    auto three = framework::Company::Load(*conn_, 3);
    EXPECT_TRUE(three->AccountTypesParameter().IsNull());
    EXPECT_TRUE(com::Variant::Equal(three->CompanyOptions()->ItemClassNesting(), com::Variant(0)));

    std::string why;
    EXPECT_EQ(dravel::testing::ErrorOf([&] { framework::Company::Load(*conn_, 99); }, &why),
              com::err::NoCurrentRecord);
    EXPECT_EQ(why, "No company 99 in HOST_DITTE");

    auto list = framework::ListCompanies(*conn_);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].code, 3);
    EXPECT_EQ(list[1].name, "Ditta Sette");
}

TEST_F(HostObjects, GlobalObjectHoldsCompanyContextAndTexts) {
    conn_->Execute("INSERT INTO HOST_DITTE (DITTA_CODICE, DITTA_RAGSOC) VALUES (5, 'Cinque')");
    auto global = framework::GlobalObject::Create(connectionString_);

    EXPECT_EQ(global->DatabaseInfo()->ConnectionString(), connectionString_);
    EXPECT_THROW(global->ActiveCompany(), com::ComError);
    EXPECT_TRUE(global->HostContext()->HostValue2().IsEmpty());
    global->SetActiveCompany(framework::Company::Load(*conn_, 5));
    EXPECT_EQ(global->ActiveCompany()->CompanyCode(), com::Variant(int32_t{5}));
    EXPECT_EQ(global->HostContext()->HostValue2(), com::Variant(int32_t{5}));
    EXPECT_EQ(global->HostContext()->HostValue1(), com::Variant(framework::CurrentUserName()));
    std::string text = "Tipo";
    EXPECT_EQ(global->TextService()->TranslateText(text), "Tipo");
}

TEST_F(HostObjects, MediaLinkShowsTheItemsStoredUnderTheIdentifier) {
    conn_->Execute(
        "INSERT INTO HOST_MEDIA (MEDIA_ID, MEDIA_IDENT, MEDIA_DESCR, MEDIA_PATH) VALUES "
        "(2, 41, 'Scheda tecnica', '/srv/media/scheda.pdf'), "
        "(1, 41, 'Foto', '/srv/media/foto.jpg'), "
        "(3, 42, 'Altro', '/srv/media/altro.txt')");
    ui::HeadlessToolkit toolkit;
    ui::ScopedToolkit scope(toolkit);
    auto link = framework::MediaLink::Create();
    auto open = [&](const com::Variant& id) {
        return link->OpenMediaLink(com::Variant("utente"), com::Variant(1),
                                   com::Variant(connectionString_), id, com::Variant(0), 1, 0);
    };

    EXPECT_EQ(open(com::Variant(41)), com::Variant(int32_t{2}));
    EXPECT_EQ(open(com::Variant::Null()), com::Variant(int32_t{0}));
    EXPECT_EQ(open(com::Variant(99)), com::Variant(int32_t{0}));
    EXPECT_EQ(link->Calls(), 3);

    const auto& shown = toolkit.Messages();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].text, "Foto: /srv/media/foto.jpg\nScheda tecnica: /srv/media/scheda.pdf");
    EXPECT_EQ(shown[0].flags, 64);
    EXPECT_EQ(shown[0].title, "Dati multimediali");
    EXPECT_EQ(shown[1].text, "Nessun dato multimediale collegato");
    EXPECT_EQ(shown[2].text, "Nessun dato multimediale collegato");
}

TEST(ServiceClasses, AreCreatedByProgramIdentifier) {
    framework::RegisterHostClasses();
    EXPECT_TRUE(com::CreateObjectAs<host::ILogService>(host::progid::LogService));
    EXPECT_TRUE(com::CreateObjectAs<host::IMediaLink>(host::progid::MediaLink));
    auto connections =
        com::CreateObjectAs<host::IConnectionSupplier>(host::progid::ConnectionSupplier);
    EXPECT_EQ(connections->NewConnection()->State(), ado::adStateClosed);
    auto recordsets =
        com::CreateObjectAs<host::IRecordsetSupplier>(host::progid::RecordsetSupplier);
    auto rs = recordsets->NewRecordset();
    EXPECT_EQ(rs->GetCursorType(), ado::adOpenStatic);
    EXPECT_EQ(rs->GetLockType(), ado::adLockBatchOptimistic);
    EXPECT_NE(recordsets->NewRecordset().Get(), rs.Get());  // a new one each time
}
