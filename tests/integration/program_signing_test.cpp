// The inspection of a program's signing against real files in Wine: the
// built indicator in dist/, a copy of it signed by a publisher the machine
// trusts and that copy altered after signing, this test program (whose
// manifest asks for UI access), a file that is no program, and files that
// are not there.
#include <gtest/gtest.h>

#include <windows.h>
#include <wincrypt.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "lensbeacon/own_folder.h"
#include "lensbeacon/program_signing.h"
#include "probe_programs.h"

namespace lensbeacon {
namespace {

// Whether this build signs; the indicator's manifest asks for UI access
// exactly then.
constexpr bool kSigningBuild = LENSBEACON_SIGNING_BUILD != 0;

bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The certificate the signed copies were signed with (signed_copies.sh),
// trusted as a root of this machine while the owner lives.
class TrustedTestSigner {
  public:
    TrustedTestSigner() {
        std::ifstream file(std::filesystem::path(test::TestBinPath(L"signing\\signer.der")),
                           std::ios::binary);
        const std::vector<char> der{std::istreambuf_iterator<char>(file),
                                    std::istreambuf_iterator<char>()};
        store_ = ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE,
                                 L"Root");
        if (store_ == nullptr || der.empty() ||
            !::CertAddEncodedCertificateToStore(
                store_, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, &added_)) {
            ADD_FAILURE() << "the test signer could not be trusted: " << ::GetLastError();
        }
    }
    ~TrustedTestSigner() {
        // Deleting frees the context, whether or not the delete succeeds.
        EXPECT_TRUE(added_ == nullptr || ::CertDeleteCertificateFromStore(added_));
        EXPECT_TRUE(store_ == nullptr || ::CertCloseStore(store_, 0));
    }
    TrustedTestSigner(const TrustedTestSigner&) = delete;
    TrustedTestSigner& operator=(const TrustedTestSigner&) = delete;

  private:
    HCERTSTORE store_ = nullptr;
    PCCERT_CONTEXT added_ = nullptr;
};

TEST(ProgramSigning, TheBuiltIndicatorIsUnsignedAndAsksForUiAccessOnlyInASigningBuild) {
    // The programs in dist/ are never signed: only their copies in the
    // package are.
    for (const wchar_t* program : {L"LenspopUI.exe", L"Lenspop.exe"}) {
        const std::wstring path = test::DistPath(program);
        const ProgramSigning signing = InspectProgramSigning(path.c_str());
        EXPECT_TRUE(signing.readable) << path;
        EXPECT_FALSE(signing.signedByTrust) << path;
        EXPECT_EQ(signing.asksUiAccess, kSigningBuild) << path;
    }
}

// Wine accepts an intact signature whatever its root, so only the alteration
// shows there; Windows would refuse the copy's signature without the root too.
TEST(ProgramSigning, ASignatureCountsFromATrustedPublisherOnAnUnalteredFile) {
    const TrustedTestSigner signer;
    const std::wstring signedCopy = test::TestBinPath(L"signing\\LenspopUI-signed.exe");
    const ProgramSigning signing = InspectProgramSigning(signedCopy.c_str());
    EXPECT_TRUE(signing.readable) << signedCopy;
    EXPECT_TRUE(signing.signedByTrust) << signedCopy;
    EXPECT_EQ(signing.asksUiAccess, kSigningBuild) << signedCopy;

    const std::wstring altered = test::TestBinPath(L"signing\\LenspopUI-altered.exe");
    const ProgramSigning alteredSigning = InspectProgramSigning(altered.c_str());
    EXPECT_TRUE(alteredSigning.readable) << altered;
    EXPECT_FALSE(alteredSigning.signedByTrust) << altered;
}

TEST(ProgramSigning, AProgramWhoseManifestAsksForUiAccessReadsSo) {
    PathBuffer ownPath = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, ownPath, kPathCapacity);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, kPathCapacity);
    const ProgramSigning signing = InspectProgramSigning(ownPath);
    EXPECT_TRUE(signing.readable);
    EXPECT_FALSE(signing.signedByTrust);
    EXPECT_TRUE(signing.asksUiAccess);
}

TEST(ProgramSigning, WhatIsNoProgramOrIsNotThereIsNotReadable) {
    // An administrative template: a file that is there, but no program.
    const std::wstring text = test::DistPath(L"policy\\Lensbeacon.admx");
    ASSERT_TRUE(FileExists(text)) << text;
    const std::wstring missing = test::DistPath(L"NoSuchProgram.exe");
    ASSERT_FALSE(FileExists(missing)) << missing;
    const wchar_t* const paths[] = {text.c_str(), missing.c_str(), L"", nullptr};
    for (const wchar_t* path : paths) {
        const ProgramSigning signing = InspectProgramSigning(path);
        EXPECT_FALSE(signing.readable) << (path != nullptr ? path : L"(null)");
        EXPECT_FALSE(signing.signedByTrust);
        EXPECT_FALSE(signing.asksUiAccess);
    }
}

}  // namespace
}  // namespace lensbeacon
