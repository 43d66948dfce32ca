// The stand-in in the BIN folder of a simulated 8.0 home: it takes the home from its own path,
// describes a result as Oracle does, and hands out rows with Oracle's NULL and truncation rules.
#include "host_fixture.h"
#include "oci_client.h"

namespace {

using namespace ocitest;

const char* const kLibrary = "C:\\ORANT\\BIN\\oci.dll";

class OciHostTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(0, simtest::Simctl("setup --release 8.0 --sid ORCL --copies C:\\COPIES"));
  }
  static void TearDownTestSuite() {
    simtest::Simctl("teardown");
    simtest::Run("C:\\windows\\system32\\cmd.exe /c rmdir /s /q C:\\COPIES");
  }
};

TEST_F(OciHostTest, DescribesAndFetchesTheRedoPairs) {
  Client c(kLibrary);
  ASSERT_NE(nullptr, c.dll);
  c.Start();
  // No connect string: the local instance named by ORACLE_SID of the home's key.
  ASSERT_EQ(kSuccess, c.Logon("", "internal", "change_on_install")) << c.ErrorText();
  void* stmt = nullptr;
  ASSERT_EQ(kSuccess, c.Execute(&stmt,
      "SELECT MIN(a.member) \"ser\", MIN(b.member) \"bu\" from sys.v_$logfile a, sys.v_$logfile b "
      "WHERE SUBSTR(a.member,1,9)!=Upper('c:\\copies') AND SUBSTR(b.member,1,9)=Upper('c:\\copies') "
      "AND a.group#=b.group# GROUP BY a.GROUP#")) << c.ErrorText();

  ub4 count = 0;
  ASSERT_EQ(kSuccess, c.AttrGet(stmt, kHtypeStmt, &count, nullptr, kAttrParamCount));
  ASSERT_EQ(2u, count);
  std::vector<std::string> names;
  for (ub4 i = 1; i <= count; ++i) {
    void* param = nullptr;
    ASSERT_EQ(kSuccess, c.Call<sword(const void*, ub4, void*, void**, ub4)>("OCIParamGet")(
                            stmt, kHtypeStmt, c.err, &param, i));
    const char* name = nullptr;
    ub4 length = 0;
    ASSERT_EQ(kSuccess, c.AttrGet(param, kDtypeParam, &name, &length, kAttrName));
    names.emplace_back(name, length);
    EXPECT_EQ(kSuccess, c.Call<sword(void*, ub4)>("OCIDescriptorFree")(param, kDtypeParam));
  }
  EXPECT_EQ((std::vector<std::string>{"ser", "bu"}), names);

  char ser[100], bu[100];
  sb2 serNull = 0, buNull = 0;
  ASSERT_EQ(kSuccess, c.Define(stmt, 1, ser, sizeof ser, &serNull));
  ASSERT_EQ(kSuccess, c.Define(stmt, 2, bu, sizeof bu, &buNull));
  std::vector<std::string> pairs;
  sword rc;
  while ((rc = c.Fetch(stmt)) == kSuccess) pairs.push_back(std::string(ser) + " " + bu);
  EXPECT_EQ(kNoData, rc);
  EXPECT_EQ(kNoData, c.Fetch(stmt));
  EXPECT_EQ((std::vector<std::string>{"C:\\ORANT\\DATABASE\\LOG1AORCL.ORA C:\\COPIES\\LOG1BORCL.ORA",
                                      "C:\\ORANT\\DATABASE\\LOG2AORCL.ORA C:\\COPIES\\LOG2BORCL.ORA",
                                      "C:\\ORANT\\DATABASE\\LOG3AORCL.ORA C:\\COPIES\\LOG3BORCL.ORA"}),
            pairs);
}

TEST_F(OciHostTest, NullAndTruncatedValues) {
  Client c(kLibrary);
  ASSERT_NE(nullptr, c.dll);
  c.Start();
  ASSERT_EQ(kSuccess, c.Logon("ORCL", "sys", "change_on_install")) << c.ErrorText();
  const std::string archive = "select value from sys.v_$parameter where name = 'log_archive_dest' "
                              "OR name = 'log_archive_dest_1'";
  const std::string dest = "C:\\ORANT\\DATABASE\\ARCHIVE";

  // A value longer than the buffer is cut, with its full length in the indicator; NULL is -1.
  void* stmt = nullptr;
  ASSERT_EQ(kSuccess, c.Execute(&stmt, archive)) << c.ErrorText();
  char small[8];
  sb2 indicator = 0;
  ub2 rcode = 0;
  ASSERT_EQ(kSuccess, c.Define(stmt, 1, small, sizeof small, &indicator, &rcode));
  EXPECT_EQ(kSuccessWithInfo, c.Fetch(stmt));
  EXPECT_EQ(dest.substr(0, 7), std::string(small));
  EXPECT_EQ((sb2)dest.size(), indicator);
  EXPECT_EQ(1406, rcode);
  EXPECT_EQ("ORA-01406: fetched column value was truncated\n", c.ErrorText());
  EXPECT_EQ(kSuccess, c.Fetch(stmt));
  EXPECT_EQ(-1, indicator);
  EXPECT_EQ(1405, rcode);
  EXPECT_EQ(kNoData, c.Fetch(stmt));

  // Without an indicator a NULL cannot be told from a value: Oracle refuses the fetch.
  void* again = nullptr;
  ASSERT_EQ(kSuccess, c.Execute(&again, archive));
  char value[100];
  ASSERT_EQ(kSuccess, c.Define(again, 1, value, sizeof value, nullptr));
  EXPECT_EQ(kSuccess, c.Fetch(again));
  EXPECT_EQ(dest, std::string(value));
  EXPECT_EQ(kError, c.Fetch(again));
  EXPECT_EQ("ORA-01405: fetched column value is NULL\n", c.ErrorText());
}

TEST_F(OciHostTest, TheHomeIsTheFolderAboveTheLibrarysBin) {
  // The same library copied beside another folder's BIN serves that folder, which holds no
  // instance, although ORACLE_SID names the running one.
  std::string other = "C:\\KXOTHER";
  CreateDirectoryA(other.c_str(), nullptr);
  CreateDirectoryA((other + "\\BIN").c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(kLibrary, (other + "\\BIN\\oci.dll").c_str(), FALSE));
  {
    Client c(other + "\\BIN\\oci.dll");
    ASSERT_NE(nullptr, c.dll);
    c.Start();
    EXPECT_EQ(kError, c.Logon("", "sys", "change_on_install"));
    EXPECT_EQ("ORA-12560: TNS:protocol adapter error\n", c.ErrorText());
  }
  DeleteFileA((other + "\\BIN\\oci.dll").c_str());
  RemoveDirectoryA((other + "\\BIN").c_str());
  RemoveDirectoryA(other.c_str());
}

}  // namespace
