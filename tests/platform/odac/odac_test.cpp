// kantrix's Oracle session: which client library it loads, how it names one it cannot use, and
// Oracle's refusals as the stand-in library gives them.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/odac.h"
#include "platform/text.h"
#include "support.h"

namespace {

// The build's files, seen from inside the prefix through drive Z:.
std::string FromBuild(std::string unixPath) {
  for (char& c : unixPath)
    if (c == '/') c = '\\';
  return "Z:" + unixPath;
}

// An Oracle home holding only BIN\oci.dll, copied from `library` (or with the given bytes).
std::string MakeHome(const kxtest::TempDir& dir, const std::string& name, const std::string& library) {
  std::string home = dir / name;
  CreateDirectoryA(home.c_str(), nullptr);
  CreateDirectoryA((home + "\\BIN").c_str(), nullptr);
  EXPECT_TRUE(CopyFileA(library.c_str(), (home + "\\BIN\\oci.dll").c_str(), FALSE)) << library;
  return home;
}

// The message of the error that Open raises, or "" when it opens.
std::string OpenError(oda::Session& s) {
  try {
    s.Open();
  } catch (const oda::EDatabaseError& e) {
    EXPECT_FALSE(s.Connected());
    return e.what();
  }
  return "";
}

TEST(SessionLibrary, NamesTheFileItCouldNotFind) {
  kxtest::TempDir dir;
  oda::Session s;
  s.ClientHome = dir / "NOHOME";
  std::string missing = ui::SystemErrorText(ERROR_MOD_NOT_FOUND);
  EXPECT_EQ("Cannot load the Oracle client library " + s.ClientHome +
                "\\BIN\\oci.dll (file not found) nor oci.dll from the DLL search path (" + missing + ")",
            OpenError(s));
  s.ClientHome.clear();
  EXPECT_EQ("Cannot load the Oracle client library oci.dll from the DLL search path (" + missing + ")",
            OpenError(s));
}

TEST(SessionLibrary, NamesTheFileThatIsNoLibrary) {
  kxtest::TempDir dir;
  oda::Session s;
  s.ClientHome = dir / "BROKEN";
  CreateDirectoryA(s.ClientHome.c_str(), nullptr);
  CreateDirectoryA((s.ClientHome + "\\BIN").c_str(), nullptr);
  kxtest::WriteFileBytes(s.ClientHome + "\\BIN\\oci.dll", "not a library\r\n");
  std::string error = OpenError(s);
  EXPECT_EQ(0u, error.find("Cannot load the Oracle client library " + s.ClientHome + "\\BIN\\oci.dll (")) << error;
  EXPECT_EQ(')', error.back());
}

TEST(SessionLibrary, NamesTheFirstMissingCall) {
  kxtest::TempDir dir;
  oda::Session s;
  s.ClientHome = MakeHome(dir, "PARTIAL", FromBuild(KX_PARTIAL_DLL));
  std::string error = OpenError(s);
  // The loaded module's own path, as Windows reports it: compare without regard to case.
  std::string expected = "The Oracle client library " + s.ClientHome +
                         "\\BIN\\oci.dll has no entry point OCIHandleAlloc";
  EXPECT_EQ(0, _stricmp(expected.c_str(), error.c_str())) << error;
}

struct RefusalCase {
  const char* what;
  const char* server;
  const char* sid;  // ORACLE_SID of the process, nullptr = unset
  const char* error;
};

TEST(SessionLogon, RefusalsOfAHomeWithoutARunningInstance) {
  kxtest::TempDir dir;
  const RefusalCase cases[] = {
      {"no local instance named", "", nullptr, "ORA-12560: TNS:protocol adapter error"},
      {"a local instance that does not exist", "", "NOSUCH", "ORA-12560: TNS:protocol adapter error"},
      {"an alias no tnsnames.ora knows", "NOALIAS", nullptr,
       "ORA-12154: TNS:could not resolve service name"},
  };
  std::string home = MakeHome(dir, "HOME", FromBuild(KX_OCI_DLL));
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.what);
    SetEnvironmentVariableA("ORACLE_SID", c.sid);
    oda::Session s;
    s.ClientHome = home;
    s.Server = c.server;
    s.Username = "sys";
    s.Password = "change_on_install";
    EXPECT_EQ(c.error, OpenError(s));
  }
  SetEnvironmentVariableA("ORACLE_SID", nullptr);
}

TEST(SessionQuery, RefusesWithoutASession) {
  oda::Session s;
  oda::Query q;
  q.session = &s;
  q.SQL = {"select member from sys.v_$logfile"};
  EXPECT_THROW(q.Open(), oda::EDatabaseError);
  EXPECT_FALSE(q.Active);
  EXPECT_TRUE(q.Eof());
}

}  // namespace
