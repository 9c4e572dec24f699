// Times the stages of the tool's job on generated sources of 10^3 to 10^6 entries: loading the
// section, converting every entry and writing the output file, and the whole job for one source
// file. Counters give entries and megabytes of source per second.

#include "configgenerator.h"
#include "outputwriter.h"
#include "process.h"
#include "sourcegenerator.h"
#include "sourcejob.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <map>
#include <memory>

namespace {

// Sources are generated on first use into a work directory in the build tree, laid out as the
// tool expects: Template/, SourceFiles/, GenerateFiles/.
QString workDirectory()
{
    return QStringLiteral(CONFIGGEN_BENCH_WORK_DIRECTORY);
}

QString sourcePathFor(long entries)
{
    return workDirectory() + QStringLiteral("/SourceFiles/entries-") + QString::number(entries) + QStringLiteral(".xml");
}

QString outputPathFor(long entries)
{
    return workDirectory() + QStringLiteral("/GenerateFiles/bench_entries-") + QString::number(entries) + QStringLiteral(".xml");
}

// Returns the size in bytes of the generated source, generating it the first time.
qint64 generatedSourceBytes(long entries)
{
    static std::map<long, qint64> sizes;
    const auto known = sizes.find(entries);
    if (known != sizes.end())
        return known->second;
    const QString path = sourcePathFor(entries);
    if (!writeGeneratedSource(path.toStdString(), entries))
        std::abort();
    return sizes[entries] = QFileInfo(path).size();
}

void prepareWorkDirectory()
{
    QDir work(workDirectory());
    if (!work.mkpath(QStringLiteral("Template")) || !work.mkpath(QStringLiteral("SourceFiles"))
        || !work.mkpath(QStringLiteral("GenerateFiles")))
        std::abort();
    const QString templatePath = work.filePath(QStringLiteral("Template/PostProcessorTemplate.xml"));
    QFile::remove(templatePath);
    if (!QFile::copy(QStringLiteral(CONFIGGEN_EXAMPLE_TEMPLATE), templatePath) || !QDir::setCurrent(work.path()))
        std::abort();
}

// Shown as entries/s and MB/s of source, the time per entry (comparable across sizes), and the size.
void setThroughputCounters(benchmark::State &state, long entries)
{
    using benchmark::Counter;
    const auto count = static_cast<double>(entries);
    const auto sourceMegabytes = static_cast<double>(generatedSourceBytes(entries)) / 1e6;
    state.counters["entries"] = Counter(count, Counter::kIsIterationInvariantRate);
    state.counters["MB"] = Counter(sourceMegabytes, Counter::kIsIterationInvariantRate);
    state.counters["per_entry"] = Counter(count, Counter::kIsIterationInvariantRate | Counter::kInvert);
    state.counters["source_MB"] = sourceMegabytes;
}

QDomNode loadSection(ConfigGenerator &generator, long entries, QDomDocument &document)
{
    QDomNode section = generator.loadSectionElement(sourcePathFor(entries), QStringLiteral("mainFiles"), document);
    if (section.isNull())
        std::abort();
    return section;
}

QDomNode loadTemplate(ConfigGenerator &generator, QDomDocument &document)
{
    QDomNode root = generator.loadTemplateRoot(document);
    if (root.isNull())
        std::abort();
    return root;
}

// What every stage starts from: the generated source of the benchmark's size, and the template.
struct Stage
{
    explicit Stage(const benchmark::State &state) : entries(state.range(0))
    {
        generatedSourceBytes(entries);
        templateRoot = loadTemplate(generator, templateDocument);
    }

    const long entries;
    ConfigGenerator generator;
    QDomDocument templateDocument;
    QDomNode templateRoot;
};

// Every benchmark does one untimed round first: the first round of a size takes its memory fresh
// from the system (page faults), the later ones reuse it, so without it a size timed in one
// round would look slower per entry than a size timed in many. A fresh process pays that once;
// bench/compare-xsltproc times whole processes.
void loadingTheSection(benchmark::State &state)
{
    Stage stage(state);
    const auto load = [&stage] {
        QDomDocument document;
        benchmark::DoNotOptimize(loadSection(stage.generator, stage.entries, document));
    };
    load();
    for ([[maybe_unused]] auto _ : state)
        load();
    setThroughputCounters(state, stage.entries);
}

// Converting the entries and writing the output go together: each configuration is written as
// soon as it is made. The conversion empties the section, so every round loads it anew, untimed;
// freeing the source belongs to the whole job.
void convertingAndWriting(benchmark::State &state)
{
    Stage stage(state);
    const QString outputPath = outputPathFor(stage.entries);
    const auto round = [&stage, &outputPath](benchmark::State *timed) {
        auto sourceDocument = std::make_unique<QDomDocument>();
        QDomNode section = loadSection(stage.generator, stage.entries, *sourceDocument);
        if (timed != nullptr)
            timed->ResumeTiming();
        OutputWriter output(stage.templateRoot, outputPath);
        Diagnostics diagnostics(sourcePathFor(stage.entries));
        convertEntries(stage.generator, section, diagnostics,
                       [&output](const QDomNode &configuration) { output.append(configuration); });
        const SourceOutcome::Result result = output.finish().result;
        if (timed != nullptr)
            timed->PauseTiming();
        return result;
    };
    round(nullptr);
    for ([[maybe_unused]] auto _ : state) {
        state.PauseTiming();
        if (round(&state) != SourceOutcome::Written)
            state.SkipWithError("cannot write the output file");
        state.ResumeTiming();
    }
    setThroughputCounters(state, stage.entries);
}

void wholeJob(benchmark::State &state)
{
    Stage stage(state);
    const QString sourcePath = sourcePathFor(stage.entries);
    const QString outputPath = outputPathFor(stage.entries);
    const auto job = [&stage, &sourcePath, &outputPath] {
        Diagnostics diagnostics(sourcePath);
        return convertSourceFile(stage.generator, stage.templateRoot, sourcePath, outputPath, RunSettings(), diagnostics);
    };
    job();
    for ([[maybe_unused]] auto _ : state) {
        if (job().result != SourceOutcome::Written)
            state.SkipWithError("the job wrote no output file");
    }
    setThroughputCounters(state, stage.entries);
}

void entryCounts(benchmark::internal::Benchmark *benchmark)
{
    benchmark->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(loadingTheSection)->Apply(entryCounts);
BENCHMARK(convertingAndWriting)->Apply(entryCounts);
BENCHMARK(wholeJob)->Apply(entryCounts);

} // namespace

int main(int argc, char *argv[])
{
    setUpProcess();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    prepareWorkDirectory();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
