#include <gtest/gtest.h>

#include "TempDir.hpp"
#include "platform/VirtualHost.hpp"
#include "recorder/SamplingInterval.hpp"
#include "recorder/SamplingStep.hpp"

namespace qelt {
namespace {

using test::ReadFile;
using test::TempDir;

struct Sampler {
  RecorderState state;
  MeasurementRecorder recorder{state};
  VirtualHost host{13 * 3600.0 + 45 * 60.0 + 7.0, DateTime{2011, 7, 29, 0, 0, 0}};
  ValueTexts values;
  int reads = 0;

  SampleStepResult Tick() {
    SampleStepResult r = SampleStep(state, recorder, host, [&] {
      ++reads;
      return values;
    });
    host.Advance(1.0);
    return r;
  }
};

TEST(SamplingStep, SamplesEverySampleTimeTicksAndAtOnceAfterAChange) {
  Sampler s;
  s.state.SampleTime = 3;
  std::vector<bool> taken;
  for (int i = 0; i < 7; ++i) taken.push_back(s.Tick().Sampled);
  EXPECT_EQ(taken, (std::vector<bool>{true, false, false, true, false, false, true}));
  EXPECT_EQ(s.reads, 3);  // the labels are read only at a sampling moment

  ASSERT_TRUE(ApplySamplingAnswer(s.state, "1"));
  EXPECT_TRUE(s.Tick().Sampled);
  EXPECT_TRUE(s.Tick().Sampled);

  // With the longest interval it still comes round after 86 400 ticks.
  ASSERT_TRUE(ApplySamplingAnswer(s.state, "86400"));
  EXPECT_TRUE(s.Tick().Sampled);
  int ticks = 0;
  while (!s.Tick().Sampled) ++ticks;
  EXPECT_EQ(ticks, 86399);
}

TEST(SamplingStep, RecordsWhileRecordingAndClearsTheLabelsOtherwise) {
  TempDir dir;
  Sampler s;
  s.state.SampleTime = 1;
  s.values[0] = "012.3";
  s.values[27] = "-30.0";

  SampleStepResult idle = s.Tick();
  EXPECT_TRUE(idle.Sampled);
  EXPECT_FALSE(idle.Recorded);
  EXPECT_TRUE(idle.ClearRecordLabels);

  RecorderFault fault;
  ASSERT_TRUE(s.recorder.Start(dir.File("r.mes"), fault));
  SampleStepResult one = s.Tick();
  EXPECT_TRUE(one.Recorded);
  EXPECT_FALSE(one.ClearRecordLabels);
  EXPECT_EQ(one.CountText, "1");
  EXPECT_EQ(one.RecText, "Rec");
  EXPECT_EQ(one.Sample, "2011/07/29\t13:45:08\t012.3" + std::string(27, '\t') + "-30.0");
  SampleStepResult two = s.Tick();
  EXPECT_EQ(two.CountText, "2");
  EXPECT_EQ(ReadFile(dir.File("r.mes")), HeaderLine() + "\r\n1\t" + one.Sample + "\r\n2\t" + two.Sample + "\r\n");

  s.recorder.Stop();
  s.state.RecPart = 4;
  SampleStepResult after = s.Tick();
  EXPECT_TRUE(after.ClearRecordLabels);
  EXPECT_EQ(s.state.RecPart, 0);
}

TEST(SamplingStep, AFailingRecordingFileStopsTheRecordingButTheListGoesOn) {
  TempDir dir;
  Sampler s;
  s.state.SampleTime = 1;
  s.state.ListActive = true;
  RecorderFault fault;
  std::filesystem::create_directory(dir.File("r-1.mes"));
  ASSERT_TRUE(s.recorder.Start(dir.File("r.mes"), fault));
  s.state.RecCount = 10000;  // the next record needs the continuation file
  SampleStepResult r = s.Tick();
  ASSERT_TRUE(r.Fault.has_value());
  EXPECT_EQ(r.Fault->File, dir.File("r-1.mes"));
  EXPECT_FALSE(s.state.Recording);
  EXPECT_TRUE(r.ClearRecordLabels);
  EXPECT_TRUE(r.ListRow);
  EXPECT_EQ(s.state.SampleTick, 1);
}

TEST(SamplingStep, FeedsTheLiveListAndAsksForASaveEveryTenThousandRows) {
  Sampler s;
  s.state.SampleTime = 1;
  SampleStepResult none = s.Tick();
  EXPECT_FALSE(none.ListRow);
  EXPECT_EQ(s.state.ListCount, 0);

  s.state.ListActive = true;
  SampleStepResult first = s.Tick();
  EXPECT_TRUE(first.ListRow);
  EXPECT_EQ(first.ListRowText, "1\t" + first.Sample);
  EXPECT_FALSE(first.ListSave);

  s.state.ListCount = 9999;
  SampleStepResult full = s.Tick();
  EXPECT_EQ(full.ListRowText.substr(0, 6), "10000\t");
  EXPECT_TRUE(full.ListSave);
  EXPECT_EQ(full.ListSaveName, "0729134509.mes");
  SampleStepResult next = s.Tick();
  EXPECT_EQ(next.ListRowText.substr(0, 6), "10001\t");
  EXPECT_FALSE(next.ListSave);
}

}  // namespace
}  // namespace qelt
