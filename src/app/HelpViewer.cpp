// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HelpViewer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {
constexpr QSize DefaultSize{680, 600};
} // namespace

HelpViewer::HelpViewer(const QString &folder)
    : QWidget(nullptr, Qt::Window)
    , m_folder(folder)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(tr(HelpWindowTitleSource));
    setAttribute(Qt::WA_DeleteOnClose);

    m_contentsButton = new QPushButton(tr("目次"), this);
    m_contentsButton->setObjectName(QStringLiteral("HelpContents"));
    m_backButton = new QPushButton(tr("戻る"), this);
    m_backButton->setObjectName(QStringLiteral("HelpBack"));
    m_backButton->setEnabled(false);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    // Links to web pages belong in the web browser; links inside the
    // document stay here.
    m_browser->setOpenExternalLinks(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_contentsButton);
    buttons->addWidget(m_backButton);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);
    resize(DefaultSize);

    connect(m_contentsButton, &QPushButton::clicked, this, &HelpViewer::goToTop);
    connect(m_backButton, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_backButton, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpViewer::updateTitle);
}

// A build tree and a Windows folder keep the documents beside the executable;
// an installed program keeps them with its data (share/rigdeck beside bin/), so
// that is the second place to look. A folder named for a test is the only one.
QString HelpViewer::documentPath(const QString &fileName) const
{
    if (!m_folder.isEmpty()) {
        return QDir(m_folder).filePath(fileName);
    }
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(fileName);
    const QString installed =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/')
                        + QStringLiteral(RIGDECK_INSTALLED_DOCUMENTS) + QLatin1Char('/') + fileName);
    return QFileInfo(beside).isFile() || !QFileInfo(installed).isFile() ? beside : installed;
}

QString HelpViewer::missingDocumentText(const QString &path)
{
    return tr("ヘルプファイル %1 が見つかりません。").arg(QDir::toNativeSeparators(path));
}

void HelpViewer::showContents(const QString &fileName)
{
    const QString path = documentPath(fileName);
    if (!QFileInfo(path).isFile()) {
        m_browser->clearHistory();
        m_browser->setSource(QUrl());
        m_browser->setPlainText(missingDocumentText(path));
        updateTitle();
        return;
    }
    const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (m_browser->source() != url) {
        m_browser->setSource(url);
    }
    goToTop();
}

void HelpViewer::goToTop()
{
    // The contents list is at the very top of every page of ours.
    const QUrl page = m_browser->source().adjusted(QUrl::RemoveFragment);
    if (!page.isEmpty() && m_browser->source() != page) {
        m_browser->setSource(page);
    }
    m_browser->verticalScrollBar()->setValue(0);
    m_browser->horizontalScrollBar()->setValue(0);
}

void HelpViewer::updateTitle()
{
    const QString title = m_browser->documentTitle();
    const QString windowTitle = tr(HelpWindowTitleSource);
    setWindowTitle(title.isEmpty() ? windowTitle : windowTitle + QStringLiteral(" - ") + title);
}
