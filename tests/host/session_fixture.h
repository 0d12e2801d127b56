#pragma once
// A host session on a real SQLite file, with the module loaded from libdravel.so by program
// identifier and its window open in the headless toolkit.

#include <memory>

#include "contracts/cinterface_access.h"
#include "contracts/progids.h"
#include "contracts/record_frame.h"
#include "framework/host_classes.h"
#include "framework/host_session.h"
#include "framework/media_link.h"
#include "platform/ui/headless.h"
#include "tests/host/module_fixture.h"

namespace test {

class SessionTest : public RegistryInTempDir {
  protected:
    void SetUp() override {
        RegistryInTempDir::SetUp();
        ::setenv("DRAVEL_LOG", (TempDir() / "dravel.log").c_str(), 1);
        framework::RegisterHostClasses();
        // The host's own media link, counted, so that a test sees how many the module makes.
        com::RegisterLocalClass(host::progid::MediaLink, [this] {
            auto link = framework::MediaLink::Create();
            mediaLinks_.push_back(link);
            return com::ComPtr<com::IUnknown>(link->GetUnknown());
        });
        session_ = std::make_unique<framework::HostSession>(
            "Provider=SQLite;Data Source=" + (TempDir() / "host.db").string(),
            framework::SessionOptions{.createDatabase = true});
        Sql("INSERT INTO HOST_DITTE (DITTA_CODICE, DITTA_RAGSOC, DITTA_PARAMTIPICONTO) VALUES "
            "(1, 'Rossi Forniture S.p.A.', 1), (2, 'Bianchi Commerciale S.r.l.', 2)");
        Sql("INSERT INTO HOST_MEDIA (MEDIA_ID, MEDIA_IDENT, MEDIA_DESCR, MEDIA_PATH) VALUES "
            "(1, 700, 'Foto scaffale', '/srv/media/700.jpg')");
        Sql("INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO, MGA0_INDPRIOR, "
            "MGA0_DESCR, MGA0_STRUTTURACAMPI, MG99_IDMEDIA_CG99) VALUES "
            "(40, 1, 0, 1, 'Per cliente', 'INDC', 700), (41, 1, 0, 2, 'Per articolo', 'CODA', "
            "NULL)");
        framework::HostSession::RegisterModule(DRAVEL_MODULE_PATH);
    }

    void TearDown() override {
        session_.reset();
        mediaLinks_.clear();
        com::UnregisterLocalClass(host::progid::MediaLink);
        framework::RegisterHostClasses();
        ::unsetenv("DRAVEL_LOG");
        RegistryInTempDir::TearDown();
    }

    void Sql(const std::string& statement) { session_->Database().Execute(statement); }

    std::string Query(const std::string& sql) {
        auto rs = session_->Database().Execute(sql);
        std::string out;
        for (; !rs->Eof(); rs->MoveNext()) {
            if (!out.empty()) out += ";";
            for (int i = 0; i < rs->FieldCount(); ++i) {
                auto v = rs->Fields(i).Value();
                out += (i ? "|" : "") + (v.IsNull() ? std::string("NULL") : v.ToText());
            }
        }
        return out;
    }

    // Opens the window of company 1 as the host does.
    void Open(int32_t company = 1) {
        session_->ChooseCompany(company);
        session_->CreateModule();
        session_->ShowForm();
        ASSERT_TRUE(session_->Window());
    }

    ui::IForm& Window() { return *session_->Window(); }
    host::Cinterface& Module() { return *session_->Module(); }
    com::ComPtr<host::IRecordFrame> Frame() {
        return host::GetRef(session_->Module(), &host::Cinterface::get_ActiveFrame)
            .As<host::IRecordFrame>();
    }
    int MediaCalls() const {
        int n = 0;
        for (auto& l : mediaLinks_) n += l->Calls();
        return n;
    }

    ui::HeadlessToolkit toolkit_;
    ui::ScopedToolkit scope_{toolkit_};
    ui::Driver driver_{toolkit_};
    std::unique_ptr<framework::HostSession> session_;
    std::vector<com::ComPtr<framework::MediaLink>> mediaLinks_;
};

}  // namespace test
