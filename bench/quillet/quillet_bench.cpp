// SPDX-License-Identifier: GPL-3.0-or-later
// Scanner throughput over the UnrealScript test inputs, opening a 5 MB script fully
// highlighted in an editor window, and find in files over a full game tree.
#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QMdiArea>
#include <QTemporaryDir>

#include <Qsci/qsciscintilla.h>
#include <benchmark/benchmark.h>

#include "platform/registrystore.h"
#include "platform/textfile.h"
#include "quillet/core/editoroptions.h"
#include "quillet/core/findinfiles.h"
#include "quillet/core/registry_access.h"
#include "quillet/core/unrealscriptsyn.h"
#include "quillet/ui/mainform.h"
#include "quillet/ui/tmdichild.h"
#include "quillet/ui/userprompts.h"

// Counts heap allocations, so the scanner benchmark can show it makes none per token.
namespace {
std::atomic<long long> g_allocations{0};
}

void *operator new(std::size_t size)
{
    ++g_allocations;
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void *p) noexcept
{
    std::free(p);
}

void operator delete(void *p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

QByteArray corpusText()
{
    QByteArray all;
    const QDir inputs(QStringLiteral(ORV_TEST_DATA_DIR "/uc/input"));
    for (const QString &name : inputs.entryList({QStringLiteral("*.uc")}, QDir::Files, QDir::Name)) {
        QFile file(inputs.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            all += file.readAll();
    }
    return all;
}

// The lines of the text, each NUL-terminated, as the editing control hands them over.
std::vector<std::string> splitLines(const QByteArray &text)
{
    std::vector<std::string> lines;
    for (const QByteArray &line : platform::textfile::splitLines(text))
        lines.emplace_back(line.constData(), static_cast<std::size_t>(line.size()));
    return lines;
}

void BM_ScanCorpus(benchmark::State &state)
{
    const QByteArray text = corpusText();
    const std::vector<std::string> lines = splitLines(text);
    std::size_t bytes = 0;
    for (const std::string &line : lines)
        bytes += line.size();
    quillet::core::TUnrealScriptSyn scanner;
    long long tokens = 0;
    long long allocations = 0;
    for (auto _ : state) {
        const long long before = g_allocations.load();
        scanner.ClearLineState();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            scanner.StartLine(lines[i].c_str(), static_cast<int>(i));
            while (!scanner.AtLineEnd()) {
                benchmark::DoNotOptimize(scanner.CurrentAttribute());
                ++tokens;
                scanner.NextToken();
            }
        }
        allocations += g_allocations.load() - before;
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
    state.counters["tokens"] = benchmark::Counter(static_cast<double>(tokens), benchmark::Counter::kIsRate);
    state.counters["allocs_per_token"] = tokens ? static_cast<double>(allocations) / static_cast<double>(tokens) : 0.0;
}
BENCHMARK(BM_ScanCorpus);

// Find in files over a game tree the size of a full install: 2,000 scripts, 40 MB, in the
// Classes folders of 100 packages. The files are listed and read inside the timing, as the
// editor does it; the page cache is warm after the first round, as on a machine that has
// just built the packages.
void BM_FindInFilesFullGameTree(benchmark::State &state)
{
    QTemporaryDir dir;
    const QByteArray corpus = corpusText();
    constexpr int kPackages = 100;
    constexpr int kScriptsPerPackage = 20;
    constexpr qsizetype kScriptSize = 20 * 1024;
    qint64 total = 0;
    for (int p = 0; p < kPackages; ++p) {
        const QString classes = dir.filePath(QStringLiteral("Pkg%1/Classes").arg(p));
        if (!QDir().mkpath(classes)) {
            state.SkipWithError("cannot make the tree");
            return;
        }
        for (int s = 0; s < kScriptsPerPackage; ++s) {
            // Each script a different slice of the corpus, so the matches are spread out.
            QByteArray script;
            qsizetype from = (static_cast<qsizetype>(p) * kScriptsPerPackage + s) * 997 % corpus.size();
            while (script.size() < kScriptSize) {
                script += corpus.mid(from, kScriptSize - script.size());
                from = 0;
            }
            QFile file(classes + QStringLiteral("/Script%1.uc").arg(s));
            if (!file.open(QIODevice::WriteOnly) || file.write(script) != script.size()) {
                state.SkipWithError("cannot write the tree");
                return;
            }
            total += script.size();
        }
    }
    quillet::core::TextPattern pattern;
    pattern.text = QString::fromLatin1(state.range(0) == 0 ? "bdeleteme" : "simulated");
    pattern.regularExpression = state.range(1) != 0;
    if (pattern.regularExpression)
        pattern.text = QStringLiteral("simulated\\s+function\\s+\\w+\\(");
    long long hits = 0;
    for (auto _ : state) {
        const QStringList files = quillet::core::scriptFilesUnder(dir.path(), true);
        if (files.size() != kPackages * kScriptsPerPackage) {
            state.SkipWithError("files missing");
            break;
        }
        hits = quillet::core::findInFiles(files, pattern).size();
        benchmark::DoNotOptimize(hits);
    }
    state.SetBytesProcessed(total * state.iterations());
    state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK(BM_FindInFilesFullGameTree)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->ArgNames({"word", "regex"})
    ->Unit(benchmark::kMillisecond);

// Never blocks: the benchmark has nobody to answer.
class SilentPrompts : public quillet::ui::UserPrompts
{
public:
    void error(QWidget *, const QString &) override {}
    void information(QWidget *, const QString &) override {}
    bool confirm(QWidget *, const QString &) override { return false; }
    bool confirmDefaultNo(QWidget *, const QString &) override { return false; }
    QString openFileName(QWidget *, const QString &, const QString &) override { return {}; }
    QString saveFileName(QWidget *, const QString &, const QString &) override { return {}; }
    int execDialog(QDialog &) override { return QDialog::Rejected; }
    quillet::ui::SaveAnswer askToSave(QWidget *, const QString &) override { return quillet::ui::SaveAnswer::Cancel; }
};

// Open (read, TAB conversion, write back), load into a new editor window and style every
// byte, as the user sees it when the whole file has been scrolled through.
void BM_OpenFiveMegabyteFileHighlighted(benchmark::State &state)
{
    QTemporaryDir dir;
    const QByteArray corpus = corpusText();
    QByteArray big;
    while (big.size() < 5 * 1024 * 1024)
        big += corpus;
    const QString path = dir.filePath(QStringLiteral("Big.uc"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(big) != big.size()) {
            state.SkipWithError("cannot write the test file");
            return;
        }
    }
    platform::RegistryStore store(platform::RegistryRoot::CurrentUser, dir.filePath(QStringLiteral("hkcu.reg")));
    quillet::core::Registry_Access registry(store);
    quillet::core::EditorOptions options;
    options.tokenStyles = quillet::core::firstRunTokenStyles();
    options.EditorFontName = QStringLiteral("DejaVu Sans Mono");
    options.EditorFontSize = 10;
    options.EditorTabTranslation = 2;
    options.UTSysDir = QStringLiteral("c:\\UnrealTournament\\System");
    quillet::core::saveEditorOptions(registry, options);
    SilentPrompts prompts;
    quillet::ui::TMainForm form(store, prompts);

    for (auto _ : state) {
        quillet::ui::TMDIChild *child = form.OpenScriptFile(path);
        if (!child) {
            state.SkipWithError("open failed");
            break;
        }
        child->mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
        const long styled = child->mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED);
        if (styled != child->mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_GETLENGTH)) {
            state.SkipWithError("not fully styled");
            break;
        }
        state.PauseTiming();
        form.mdiArea()->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(big.size()) * state.iterations());
}
BENCHMARK(BM_OpenFiveMegabyteFileHighlighted)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
