#include "AddinFixture.h"

#include "FavConsts.h"
#include "FavUtils.h"
#include "Modal.h"
#include "Registry.h"

#include <QDir>
#include <QFile>

std::string Record(int parent, int position, int type, int id, const std::string& path,
                   const std::string& alias) {
    return IntToStrLen(parent, 9) + "|" + IntToStrLen(position, 3) + "|" + std::to_string(type) +
           "|" + std::to_string(id) + "|" + path + "|" + alias;
}

void AddinTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    SetRegistryFile(dir.filePath(QStringLiteral("HKEY_CURRENT_USER.reg")).toStdString());
    ui::SetModal(&modal);
    TPackageHost packageHost;
    packageHost.toolServices = &host;
    packageHost.context = this;
    packageHost.registerLibraryExpert = [](void* context, TIExpert* e) {
        static_cast<AddinTest*>(context)->registered.push_back(e);
    };
    packageHost.modal = &modal;
    BindPackageHost(&packageHost);
    FavoriteInitialization();
}

void AddinTest::TearDown() {
    expert.reset();
    for (TIExpert* e : registered)
        delete e;
    FavoriteFinalization();
    BindPackageHost(nullptr);
    ui::SetModal(nullptr);
    SetRegistryFile("");
}

void AddinTest::StoreFavorites(const std::vector<std::string>& records, int lastId) {
    TFavoriteItems items;
    items.SetItems(TStringList(records));
    items.SetLastID(lastId);
    items.SaveToReg();
}

std::vector<std::uint8_t> AddinTest::StoredBytes() const {
    TRegIniFile key("\\Favorites");
    if (key.GetDataSize(std::string(sFavIdent)) == 0)
        return {};
    return key.ReadBinaryData(std::string(sFavIdent));
}

std::string AddinTest::FavoritesMenu() const {
    const auto menu = host.Find(std::string(sFavMenu));
    return menu ? RecordingHost::Dump(*menu) : std::string("<no Favorites menu>");
}

std::string AddinTest::PathOf(const std::string& relative) const {
    return dir.filePath(QString::fromStdString(relative)).toStdString();
}

std::string AddinTest::MakeFile(const std::string& relative) const {
    const QString path = QString::fromStdString(PathOf(relative));
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("unit Sample;\n");
    return path.toStdString();
}

std::string AddinTest::MakeFolder(const std::string& relative) const {
    QDir().mkpath(QString::fromStdString(PathOf(relative)));
    return PathOf(relative);
}
