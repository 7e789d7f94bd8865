#include "HostTestSupport.h"

#include "FavUtils.h"
#include "Registry.h"

#include <QFile>

namespace {

std::string Rec(int parent, int position, int type, int id, const std::string& file,
                const std::string& alias) {
    const std::string path =
        file.empty() ? file : std::string(EXAMPLES_DIR) + "/SampleProject/" + file;
    return IntToStrLen(parent, 9) + "|" + IntToStrLen(position, 3) + "|" + std::to_string(type) +
           "|" + std::to_string(id) + "|" + path + "|" + alias;
}

} // namespace

std::vector<std::string> SampleRecords() {
    return {
        Rec(0, 0, fitProject, 1, "Sample.bpg", "Sample group"),
        Rec(0, 1, fitProject, 2, "Sample.dpr", "Sample"),
        Rec(0, 2, fitPackage, 3, "SampleTools.dpk", "Sample tools"),
        Rec(0, 3, fitFile, 7, "README.txt", "Read me"),
        Rec(0, 4, fitFolder, 8, "Sources", "Sources"),
        Rec(0, 5, fitGroup, 4, "", "Units"),
        Rec(4, 0, fitUnit, 5, "MainForm.pas", "Main form"),
        Rec(4, 1, fitUnit, 6, "Utils.pas", ""),
    };
}

const char* const SampleFavoritesMenu =
    "FavoriteMenu\tF&avorites\n"
    "  AboutFavoriteItem\t&About Quarvel Favorites Add-In...\n"
    "  EditFavoriteItem\t&Edit Favorites...\n"
    "  AddFavoriteItem\tA&dd to Favorites...\n"
    "  Sep_0\t-\n"
    "  FavItem_0_1\t&0 Sample group\n"
    "  FavItem_1_2\t&1 Sample\n"
    "  FavItem_2_3\t&2 Sample tools\n"
    "  FavSep_7\t-\n"
    "  FavItem_3_7\t&3 Read me\n"
    "  FavSep_8\t-\n"
    "  FavItem_4_8\t&4 Sources...\n"
    "  FavItem_5_4\t&5 Units\n"
    "    FavItem_6_5\t&0 Main form\n"
    "    FavItem_7_6\t&1 " EXAMPLES_DIR "/SampleProject/Utils.pas\n";

void PrivateRegistryTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    registryFile = dir.filePath(QStringLiteral("HKEY_CURRENT_USER.reg"));
    SetRegistryFile(registryFile.toStdString());
    qputenv("QUARVEL_REGISTRY", registryFile.toLocal8Bit());
}

void PrivateRegistryTest::TearDown() {
    qunsetenv("QUARVEL_REGISTRY");
    SetRegistryFile("");
}

void PrivateRegistryTest::StoreSampleFavorites() {
    TFavoriteItems items;
    std::vector<std::string> records = SampleRecords();
    std::reverse(records.begin(), records.end()); // the shell sorts them
    items.SetItems(TStringList(records));
    items.SetLastID(8);
    items.SaveToReg();
}

void PrivateRegistryTest::StoreBytes(const std::vector<std::uint8_t>& bytes) {
    TRegIniFile("\\Favorites").WriteBinaryData("Items", bytes.data(), bytes.size());
}

QByteArray PrivateRegistryTest::RegistryFileContent() const {
    QFile file(registryFile);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<std::string> PrivateRegistryTest::StoredRecords() const {
    TFavoriteItems items;
    items.LoadFromReg();
    return items.Items().Lines();
}
