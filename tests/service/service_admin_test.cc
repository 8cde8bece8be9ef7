#include "service/service_admin.h"

#include <gtest/gtest.h>

#include "shell/text.h"
#include "support/engine_fixture.h"

namespace vorn {
namespace {

using testing::FakeServiceControl;

TEST(ServiceAdminTest, InstallOnceThenSayItIsAlreadyThere) {
  FakeServiceControl service;
  const ServiceAction installed = InstallService(service, platform::kStartManual, true, kEnglish);
  EXPECT_TRUE(installed.done);
  EXPECT_TRUE(service.installed);
  EXPECT_EQ(service.start_type, 1);
  EXPECT_TRUE(service.interact);
  EXPECT_EQ(installed.state_text,
            "Vorn Service installed\r\n(mirroring operations start automatically when the "
            "service starts)");
  EXPECT_EQ(installed.message, installed.state_text +
                                   "\r\n\r\nConfiguration and start, see\r\n'Control "
                                   "panel/Services'");
  ASSERT_EQ(service.events.size(), 1u);
  EXPECT_EQ(service.events[0].first, platform::EventType::kInformation);
  EXPECT_EQ(service.events[0].second, installed.state_text);

  const ServiceAction again = InstallService(service, platform::kStartAutomatic, false, kFrench);
  EXPECT_FALSE(again.done);
  EXPECT_EQ(again.state_text, "Vorn Service déjà installé");
  EXPECT_EQ(service.start_type, 1);
  EXPECT_EQ(service.events.size(), 1u);
}

TEST(ServiceAdminTest, RemoveTwice) {
  FakeServiceControl service;
  service.installed = true;
  const ServiceAction removed = RemoveService(service, kEnglish);
  EXPECT_TRUE(removed.done);
  EXPECT_EQ(removed.state_text, "Vorn Service: removed");
  EXPECT_EQ(service.events.back().second, "Vorn Service: removed");
  const ServiceAction again = RemoveService(service, kPortuguese);
  EXPECT_FALSE(again.done);
  EXPECT_EQ(again.state_text, "Vorn Service naõ instalado");
  EXPECT_EQ(service.events.size(), 1u);
}

TEST(ServiceAdminTest, LifeCycleEntriesAreFrenchOrEnglish) {
  FakeServiceControl service;
  int16_t language = kFrench;
  ServiceLifecycleLog log(service, language);
  log.OnServiceStarted("ignored");
  language = kPortuguese;  // no Portuguese entries: English serves
  log.OnServiceStopped();
  log.OnUserLoggedOff();
  ASSERT_EQ(service.events.size(), 3u);
  EXPECT_EQ(service.events[0].second, "Vorn Service: démarré");
  EXPECT_EQ(service.events[1].second, "Vorn Service: stopped");
  EXPECT_EQ(service.events[2].first, platform::EventType::kWarning);
  EXPECT_EQ(service.events[2].second, "Vorn Service: logoff user");
}

}  // namespace
}  // namespace vorn
