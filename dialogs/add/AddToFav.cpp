#include "AddToFav.h"

#include "AddToFavoritesWnd.h"
#include "Canvas.h"
#include "Exception.h"
#include "FavConsts.h"
#include "FavUtils.h"
#include "FolderChooser.h"
#include "FormFont.h"
#include "Forms.h"
#include "Paths.h"
#include "TextBytes.h"

#include <QCollator>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <algorithm>
#include <array>
#include <span>
#include <vector>

namespace {

constexpr int FormHelpContext = 70;
const QString FormHelpFile = QStringLiteral("Morvith.hlp");

// Indexes of the two combo boxes' entries that the form tells apart.
constexpr int ItemFile = 0;
constexpr int ItemFolder = 1;
constexpr int GroupSelectedFiles = 0;
constexpr int GroupAllFiles = 1;

// Names and aliases go into records byte for byte, whatever their encoding.
QString Q(std::string_view text) {
    return ui::QStringFromBytes(text);
}

std::string S(const QString& text) {
    return ui::BytesFromQString(text);
}

// "Current &Project: %s." with a name whose own '&' must not turn into an access key.
QString CaptionWith(QString caption, const std::string& name) {
    return caption.replace(QStringLiteral("%s"),
                           ui::ReadableText(Q(name)).replace(u'&', QStringLiteral("&&")));
}

// "\"a.pas\" \"b.pas\" ": the names of the chosen files, each quoted and followed by a blank.
QString ChosenFilesText(const TStringList& files) {
    QString text;
    for (const std::string& file : files)
        text += u'"' + Q(ExtractFileName(file)) + QStringLiteral("\" ");
    return text;
}

bool HasSeparator(std::string_view text) {
    return text.find('|') != std::string_view::npos;
}

// The open-folder glyph of the browse buttons, 16 x 16, with its normal and greyed (disabled)
// looks; drawn at the screen's pixel ratio, so a high-resolution screen gets a sharp picture,
// never one scaled up.
QIcon FolderGlyph() {
    struct Look {
        QColor outline, back, front;
    };
    const auto drawing = [](Look look) {
        return [look](QPainter& painter) {
            painter.setPen(look.outline);
            // The folder's back with its tab.
            QPainterPath back;
            back.moveTo(1, 13);
            back.lineTo(1, 3);
            back.lineTo(5, 3);
            back.lineTo(6, 4);
            back.lineTo(12, 4);
            back.lineTo(12, 6);
            painter.setBrush(look.back);
            painter.drawPath(back);
            painter.fillRect(QRectF(2, 5, 10, 8), look.back);
            // The open flap in front, tilted towards the viewer.
            const QPointF flap[] = {{1, 13}, {4, 7}, {15, 7}, {12, 13}};
            painter.setBrush(look.front);
            painter.drawPolygon(flap, 4);
        };
    };
    return ui::DrawnIcon(
        QSize(16, 16),
        drawing({QColor(0x80, 0x60, 0x00), QColor(0xe0, 0xb0, 0x20), QColor(0xff, 0xe0, 0x60)}),
        drawing({QColor(0x80, 0x80, 0x80), QColor(0xc0, 0xc0, 0xc0), QColor(0xe0, 0xe0, 0xe0)}));
}

QComboBox* MakeList(QWidget* parent, const char* name, const QStringList& items, QRect bounds) {
    auto* combo = ui::MakeControl<QComboBox>(parent, name, bounds);
    combo->addItems(items);
    ui::UseRuntimeListMetrics(*combo);
    // No entry is chosen until the form is shown.
    combo->setCurrentIndex(-1);
    return combo;
}

QToolButton* MakeBrowse(QWidget* parent, const char* name, const QIcon& glyph, QRect bounds) {
    auto* button = ui::MakeControl<QToolButton>(parent, name, bounds);
    button->setIcon(glyph);
    button->setIconSize(QSize(16, 16));
    // A speed button takes no focus and no place in the tab order.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

// Runs the folder chooser on the edit's text and puts a chosen folder into it.
void BrowseInto(QLineEdit* edit, std::string_view prompt) {
    std::string folder = S(edit->text());
    if (BrowseForFolder(folder, std::string(prompt)))
        edit->setText(Q(folder));
}

// The masks of each folder-based group kind, in the order they are searched.
std::span<const std::string_view> GroupMasks(int groupKind) {
    static constexpr std::array<std::string_view, 4> all{"*.bpg", "*.dpr", "*.dpk", "*.pas"};
    static constexpr std::array<std::string_view, 1> libraries{"*.dpk"};
    static constexpr std::array<std::string_view, 1> units{"*.pas"};
    switch (groupKind) {
    case 0:
        return all;
    case 1:
        return std::span(all).first(2);
    case 2:
        return libraries;
    case 3:
        return units;
    default:
        return {};
    }
}

} // namespace

TAddToFavoritesWnd::TAddToFavoritesWnd(QWidget* parent) : ui::TForm(parent) {
    setObjectName(QStringLiteral("AddToFavoritesWnd"));
    setWindowTitle(QStringLiteral("Add To Favorites"));
    setFont(ui::FormFont());
    setFixedSize(465, 246);
    SetHelp(FormHelpFile, FormHelpContext);

    using ui::MakeControl;
    btnOk = MakeControl<QPushButton>(this, "btnOk", {219, 214, 75, 23}, QStringLiteral("OK"));
    btnOk->setDefault(true);
    btnCancel =
        MakeControl<QPushButton>(this, "btnCancel", {300, 214, 75, 23}, QStringLiteral("Cancel"));
    btnHelp =
        MakeControl<QPushButton>(this, "btnHelp", {382, 214, 75, 23}, QStringLiteral("&Help"));

    gbAdd = MakeControl<QGroupBox>(this, "gbAdd", {8, 4, 449, 152}, QStringLiteral("&Add:"));
    const QIcon glyph = FolderGlyph();
    btnItem = MakeBrowse(gbAdd, "btnItem", glyph, {418, 81, 22, 21});
    btnGroup = MakeBrowse(gbAdd, "btnGroup", glyph, {418, 122, 22, 21});
    rdoCurrentProject = MakeControl<QRadioButton>(gbAdd, "rdoCurrentProject", {8, 16, 433, 17},
                                                  QStringLiteral("Current &Project: %s."));
    rdoCurrentFile = MakeControl<QRadioButton>(gbAdd, "rdoCurrentFile", {8, 40, 433, 17},
                                               QStringLiteral("Current &File: %s."));
    rdoItem =
        MakeControl<QRadioButton>(gbAdd, "rdoItem", {8, 64, 113, 17}, QStringLiteral("&Item:"));
    edtItem = MakeControl<QLineEdit>(gbAdd, "edtItem", {208, 81, 209, 21});
    cmbItem = MakeList(gbAdd, "cmbItem", {QStringLiteral("File"), QStringLiteral("Folder")},
                       {24, 81, 177, 21});
    rdoGroup =
        MakeControl<QRadioButton>(gbAdd, "rdoGroup", {8, 105, 113, 17}, QStringLiteral("&Group:"));
    edtGroup = MakeControl<QLineEdit>(gbAdd, "edtGroup", {208, 122, 209, 21});
    cmbGroup = MakeList(gbAdd, "cmbGroup",
                        {QStringLiteral("Selected Files"),
                         QStringLiteral("All Files (*.dpr;*.bpg;*.dpk;*.pas)"),
                         QStringLiteral("Projects (*.dpr;*.bpg)"),
                         QStringLiteral("Libraries (*.dpk)"), QStringLiteral("Units (*.pas)")},
                        {24, 122, 177, 21});

    // Qt names a control inside a group box after the box's title, which would call the two
    // pairs of path field and button alike; each gets a name of its own.
    gbAdd->setAccessibleName(ui::CaptionText(gbAdd->title()));
    btnItem->setAccessibleName(QStringLiteral("Browse for the item"));
    btnGroup->setAccessibleName(QStringLiteral("Browse for the group's files or folder"));
    ui::NameAfterCaption(*edtItem, rdoItem->text());
    ui::NameAfterCaption(*edtGroup, rdoGroup->text());
    cmbItem->setAccessibleName(QStringLiteral("Kind of item"));
    cmbGroup->setAccessibleName(QStringLiteral("Kind of group"));

    dlgOpenFile.title = QStringLiteral("Open");
    dlgOpenFile.filter = Q(sOpenDialogFilter);
    dlgOpenFile.filterIndex = 1;
    dlgOpenFile.options.hideReadOnly = true;
    dlgOpenFile.options.allowMultiSelect = true;
    dlgOpenFile.options.enableSizing = true;

    gbAlias = MakeControl<QGroupBox>(this, "gbAlias", {8, 159, 449, 46}, QStringLiteral("Alia&s:"));
    edtAlias = MakeControl<QLineEdit>(gbAlias, "edtAlias", {8, 16, 432, 21});
    gbAlias->setAccessibleName(ui::CaptionText(gbAlias->title()));
    ui::NameAfterCaption(*edtAlias, gbAlias->title());

    // The form's tab order: the Add box (its controls in their own order), the Alias box,
    // then the buttons.
    QWidget* const order[] = {rdoCurrentProject, rdoCurrentFile, rdoItem,   cmbItem,
                              edtItem,           rdoGroup,       cmbGroup,  edtGroup,
                              edtAlias,          btnOk,          btnCancel, btnHelp};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    for (QRadioButton* radio : {rdoCurrentProject, rdoCurrentFile, rdoItem, rdoGroup})
        connect(radio, &QRadioButton::clicked, this, &TAddToFavoritesWnd::RadioBtnClick);
    connect(btnOk, &QPushButton::clicked, this, &TAddToFavoritesWnd::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TAddToFavoritesWnd::reject);
    connect(btnHelp, &QPushButton::clicked, this, &TAddToFavoritesWnd::btnHelpClick);
    connect(btnItem, &QToolButton::clicked, this, &TAddToFavoritesWnd::btnItemClick);
    connect(btnGroup, &QToolButton::clicked, this, &TAddToFavoritesWnd::btnGroupClick);
    // The user's pick only (mouse or keys); an index set by the program is no click.
    connect(cmbGroup, &QComboBox::activated, this, &TAddToFavoritesWnd::cmbGroupClick);
    connect(edtGroup, &QLineEdit::textChanged, this, &TAddToFavoritesWnd::edtGroupChange);

    FormCreate();
}

TAddToFavoritesWnd::~TAddToFavoritesWnd() {
    FormDestroy();
}

void TAddToFavoritesWnd::Prepare(const THostFiles& host) {
    FProjectName = host.ProjectName;
    if (!FileExists(FProjectName)) {
        FProjectName = std::string(sNoProject);
        rdoCurrentProject->setEnabled(false);
    }
    FCurrentFile = host.CurrentFile;
    // A form file stands for its unit.
    if (UpperCase(ExtractFileExt(FCurrentFile)) == ".DFM")
        FCurrentFile = FCurrentFile.substr(0, FCurrentFile.size() - 4) + ".pas";
    if (!FileExists(FCurrentFile) || FCurrentFile == FProjectName) {
        FCurrentFile = std::string(sNoFile);
        rdoCurrentFile->setEnabled(false);
    }
}

void TAddToFavoritesWnd::FormCreate() {
    FSelectedFiles.Clear();
    FGroupFolder.clear();
    AdjustAlias();
}

void TAddToFavoritesWnd::FormShow() {
    rdoCurrentProject->setText(CaptionWith(rdoCurrentProject->text(), FProjectName));
    rdoCurrentFile->setText(CaptionWith(rdoCurrentFile->text(), FCurrentFile));
    if (rdoCurrentProject->isEnabled())
        rdoCurrentProject->setChecked(true);
    else if (rdoCurrentFile->isEnabled())
        rdoCurrentFile->setChecked(true);
    else
        rdoItem->setChecked(true);
    AdjustControls();
    cmbItem->setCurrentIndex(ItemFile);
    cmbGroup->setCurrentIndex(GroupAllFiles);
}

bool TAddToFavoritesWnd::FormCloseQuery(int result) {
    if (result != ui::mrOk)
        return true;
    const std::string item = S(edtItem->text());
    const std::string group = S(edtGroup->text());
    const bool itemFile = rdoItem->isChecked() && cmbItem->currentIndex() == ItemFile;
    const bool itemFolder = rdoItem->isChecked() && cmbItem->currentIndex() != ItemFile;
    const bool selectedFiles =
        rdoGroup->isChecked() && cmbGroup->currentIndex() == GroupSelectedFiles;
    const bool groupFolder =
        rdoGroup->isChecked() && cmbGroup->currentIndex() != GroupSelectedFiles;

    if (itemFile && !FileExists(item))
        return Refuse(sErrorFileItem, edtItem);
    if (itemFolder && !FolderExists(item))
        return Refuse(sErrorFolderItem, edtItem);
    if (selectedFiles && FSelectedFiles.Empty())
        return Refuse(sErrorFileGroup, edtGroup);
    if (groupFolder && !FolderExists(group))
        return Refuse(sErrorFolderGroup, edtGroup);
    if (IsBlank(S(edtAlias->text())))
        return Refuse(sErrorAlias, edtAlias);

    // A "|" would split the record it goes into.
    if (rdoCurrentProject->isChecked() && HasSeparator(FProjectName))
        return Refuse(sErrorSeparator, rdoCurrentProject);
    if (rdoCurrentFile->isChecked() && HasSeparator(FCurrentFile))
        return Refuse(sErrorSeparator, rdoCurrentFile);
    if (rdoItem->isChecked() && HasSeparator(item))
        return Refuse(sErrorSeparator, edtItem);
    if (selectedFiles && std::ranges::any_of(FSelectedFiles, HasSeparator))
        return Refuse(sErrorSeparator, edtGroup);
    if (groupFolder && HasSeparator(group))
        return Refuse(sErrorSeparator, edtGroup);
    if (HasSeparator(S(edtAlias->text())))
        return Refuse(sErrorSeparator, edtAlias);
    return true;
}

bool TAddToFavoritesWnd::Refuse(std::string_view message, QWidget* control) {
    ui::ShowErrorBox(Q(message), 0, this);
    control->setFocus(Qt::OtherFocusReason);
    return false;
}

void TAddToFavoritesWnd::FormDestroy() {
    FSelectedFiles.Clear();
}

void TAddToFavoritesWnd::RadioBtnClick() {
    AdjustControls();
}

void TAddToFavoritesWnd::btnOkClick() {
    if (FormCloseQuery(ui::mrOk))
        done(ui::mrOk);
}

void TAddToFavoritesWnd::AdjustControls() {
    const bool item = rdoItem->isChecked();
    const bool group = rdoGroup->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{cmbItem, edtItem, btnItem})
        control->setEnabled(item);
    for (QWidget* control : std::initializer_list<QWidget*>{cmbGroup, edtGroup, btnGroup})
        control->setEnabled(group);
    AdjustAlias();
}

void TAddToFavoritesWnd::AdjustAlias() {
    // A typed alias is the user's: it is never replaced.
    if (edtAlias->isModified())
        return;
    std::string alias;
    if (rdoCurrentProject->isChecked())
        alias = ExtractFileName(FProjectName);
    else if (rdoCurrentFile->isChecked())
        alias = ExtractFileName(FCurrentFile);
    else if (rdoItem->isChecked() && cmbItem->currentIndex() == ItemFile)
        alias = ExtractFileName(S(edtItem->text()));
    else if (rdoItem->isChecked())
        alias = ExtractFileName(ExcludeOneTrailingSeparator(S(edtItem->text())));
    else if (cmbGroup->currentIndex() == GroupSelectedFiles && !FSelectedFiles.Empty())
        alias = ExtractFileName(ExcludeOneTrailingSeparator(ExtractFilePath(FSelectedFiles[0])));
    else
        alias = ExtractFileName(S(edtGroup->text()));
    edtAlias->setText(Q(alias));
    edtAlias->setModified(false);
}

void TAddToFavoritesWnd::btnItemClick() {
    if (cmbItem->currentIndex() == ItemFile) {
        dlgOpenFile.fileName = edtItem->text();
        dlgOpenFile.options.allowMultiSelect = false;
        if (ui::Modal().OpenFile(this, dlgOpenFile))
            edtItem->setText(dlgOpenFile.fileName);
    } else {
        BrowseInto(edtItem, sAddFolder);
    }
    AdjustAlias();
}

void TAddToFavoritesWnd::btnGroupClick() {
    if (cmbGroup->currentIndex() == GroupSelectedFiles) {
        dlgOpenFile.options.allowMultiSelect = true;
        if (ui::Modal().OpenFile(this, dlgOpenFile)) {
            FSelectedFiles.Clear();
            for (const QString& file : dlgOpenFile.files)
                FSelectedFiles.Add(S(file));
            edtGroup->setText(ChosenFilesText(FSelectedFiles));
        }
    } else {
        BrowseInto(edtGroup, sAddFolderContents);
    }
    AdjustAlias();
}

void TAddToFavoritesWnd::cmbGroupClick() {
    if (cmbGroup->currentIndex() == GroupSelectedFiles) {
        // Picking "Selected Files" again must not take the list of names for the folder.
        if (!edtGroup->isReadOnly())
            FGroupFolder = S(edtGroup->text());
        edtGroup->setReadOnly(true);
        edtGroup->setText(ChosenFilesText(FSelectedFiles));
    } else {
        edtGroup->setReadOnly(false);
        edtGroup->setText(Q(FGroupFolder));
    }
    AdjustAlias();
}

void TAddToFavoritesWnd::edtGroupChange() {
    if (cmbGroup->currentIndex() != GroupSelectedFiles)
        FGroupFolder = S(edtGroup->text());
}

void TAddToFavoritesWnd::btnHelpClick() {
    ShowHelpTopic();
}

void GetFolderFiles(const std::string& folder, int groupKind, TStringList& files) {
    files.Clear();
    std::string search = ExcludeTrailingSeparators(folder);
    if (search.empty() && folder.empty())
        throw Exception("Path is not assigned");
    // Separators only name the root, which is searched like any other folder.
    search += NativeSeparator();
    for (std::string& file : FindFiles(search, GroupMasks(groupKind)))
        // A "|" cannot be held in a record, so such a name (possible off Windows only) is
        // not taken.
        if (!HasSeparator(ExtractFileName(file)))
            files.Add(std::move(file));
}

void SortFileNames(TStringList& files) {
    QCollator collator; // the user's locale
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::pair<QString, std::string>> keyed;
    keyed.reserve(static_cast<std::size_t>(files.Count()));
    for (const std::string& file : files)
        keyed.emplace_back(Q(file), file);
    std::ranges::stable_sort(keyed, [&collator](const auto& a, const auto& b) {
        return collator.compare(a.first, b.first) < 0;
    });
    std::vector<std::string>& lines = files.Lines();
    for (std::size_t i = 0; i < keyed.size(); ++i)
        lines[i] = std::move(keyed[i].second);
}

std::unique_ptr<TStringList> AddToFavorites(const THostFiles& host) {
    const ui::TFormInstance<TAddToFavoritesWnd> wnd;

    wnd->Prepare(host);
    if (ui::Modal().ShowModal(*wnd) != ui::mrOk)
        return nullptr;

    int itemType = 0;
    std::string path;
    const std::string item = S(wnd->edtItem->text());
    if (wnd->rdoGroup->isChecked()) {
        itemType = fitGroup;
    } else if (wnd->rdoItem->isChecked() && wnd->cmbItem->currentIndex() == ItemFolder) {
        itemType = fitFolder;
        path = item;
    } else {
        if (wnd->rdoCurrentProject->isChecked())
            path = wnd->ProjectName();
        else if (wnd->rdoCurrentFile->isChecked())
            path = wnd->CurrentFile();
        else
            path = item;
        itemType = GetFileItemType(path);
    }

    auto request = std::make_unique<TStringList>();
    request->Add(std::to_string(itemType));
    request->Add(S(wnd->edtAlias->text()));
    if (itemType != fitGroup) {
        request->Add(path);
        return request;
    }
    TStringList files;
    if (wnd->cmbGroup->currentIndex() == GroupSelectedFiles)
        files = wnd->SelectedFiles();
    else
        GetFolderFiles(S(wnd->edtGroup->text()), wnd->cmbGroup->currentIndex() - 1, files);
    SortFileNames(files);
    for (const std::string& file : files)
        request->Add(file);
    return request;
}
