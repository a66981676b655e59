// A script host's view of the control: made by its program id, members called by name,
// results read from return values and properties.
var control = new ActiveXObject("Vortrel.TimelineControl");
var failures = 0;
function check(what, got, want) {
    if (got !== want) {
        WScript.Echo("FAIL " + what + ": got " + got + ", expected " + want);
        failures++;
    }
}
check("GetTrackCount", control.GetTrackCount(), 8);
check("GetVideo2TrackIndex", control.GetVideo2TrackIndex(), 2);
check("GetTextTrackIndex", control.GetTextTrackIndex(), 7);
check("GetClipCount(8)", control.GetClipCount(8), -1);
check("GetClipCount(0)", control.GetClipCount(0), 0);
check("AddVideoClip empty name", control.AddVideoClip(1, "", 0, 5, 0), -1);
check("AddImageClip missing file", control.AddImageClip(3, "missing.png", 0, 1), -2);
check("AddEffect stop before start", control.AddEffect(4, "blur", 2, 1, ""), -3);
check("Save empty name", control.Save(""), -1);
check("GetDESTransition(-1)", control.GetDESTransition(-1), "");
control.SetScale(2.5);
check("GetScale", control.GetScale(), 2.5);
control.OutputType = 12;
check("OutputType", control.OutputType, 12);
control.MPEGWidth = 70000;
check("MPEGWidth keeps 16 bits", control.MPEGWidth, 4464);
check("MPEGFrameRate", control.MPEGFrameRate, 25);
check("IsPlaying", control.IsPlaying, false);
check("SkipBlackPosterFrame", control.SkipBlackPosterFrame, true);
if (failures == 0) {
    WScript.Echo("ok");
}
WScript.Quit(failures);
