#include "doc_content.h"

namespace docgen {

Book Manual() {
    return Book{
        "Manual",
        "Korvane Manual",
        {
            {"index.htm",
             "Korvane Manual",
             {"Korvane records radio programmes and any other sound that reaches your sound card, either at once or "
              "at times you schedule in advance.",
              "This manual explains the main window, recording, the scheduler and the options. If Korvane records "
              "silence, set up the sound input first: the <a href=\"../Quick%20Setup/index.htm\">Quick Hardware "
              "Setup</a> guide shows how."}},
            {"mainwindow.htm",
             "The main window",
             {"The main window shows the level meters of the sound input, the recording buttons and the list of "
              "recordings in your data folder.",
              "The status line at the bottom shows the recording format and the free space left on the drive of the "
              "data folder."}},
            {"recording.htm",
             "Recording now",
             {"Click <b>Record</b> to start recording what the sound input delivers. Click <b>Stop</b> to end the "
              "recording; it is saved in the data folder under the date and time it started.",
              "Watch the level meters while you record: the loudest parts should reach the yellow zone but never the "
              "red one."}},
            {"scheduling.htm",
             "Scheduling recordings",
             {"Open the scheduler with <b>Schedule</b>. Each entry has a start time, a length, a repetition (once, "
              "daily, on weekdays or weekly) and a name.",
              "Korvane must be running at the start time; the scheduler helper reminds you when it is not. See <a "
              "href=\"options.htm\">Options</a> to start Korvane with Windows."}},
            {"playback.htm",
             "Playing recordings",
             {"Double-click a recording in the list to play it. The playback bar lets you jump to any point and "
              "shows the time played and the length.",
              "Recordings are ordinary sound files: any player can open them from the data folder."}},
            {"options.htm",
             "Options",
             {"The Options window holds the recording format, the folders and the start-up behaviour.",
              "Changes take effect with the next recording; a recording in progress keeps its format."}},
            {"datafolder.htm",
             "The data folder",
             {"All recordings and the schedule are kept in the data folder that you chose during setup. You can "
              "choose another folder in the <a href=\"options.htm\">Options</a>; existing recordings stay where they "
              "are.",
              "Uninstalling Korvane never deletes the data folder or your recordings."}},
            {"formats.htm",
             "Recording formats",
             {"The setup chose a format that suits the speed of your computer: from 44100 Hz, 16 bit, stereo on fast "
              "computers down to 11025 Hz, 8 bit, mono on slow ones.",
              "A higher sample rate and more bits give better sound and larger files. One hour at 44100 Hz, 16 bit, "
              "stereo takes about 600 MB."}},
            {"shortcuts.htm",
             "Keyboard shortcuts",
             {"<b>Ctrl+R</b> starts a recording, <b>Ctrl+S</b> stops it, <b>Ctrl+P</b> plays the selected recording "
              "and <b>F5</b> opens the scheduler.",
              "<b>Alt+O</b> opens the Options window and <b>F1</b> this manual."}},
            {"troubleshooting.htm",
             "Troubleshooting",
             {"<b>The recording is silent.</b> The sound input is muted or the wrong source is selected: follow the "
              "<a href=\"../Quick%20Setup/index.htm\">Quick Hardware Setup</a>.",
              "<b>A scheduled recording did not start.</b> Korvane was not running or the computer was asleep at the "
              "start time."}},
            {"uninstall.htm",
             "Removing Korvane",
             {"Use <b>Uninstall</b> in the Korvane Start Menu folder, or Add/Remove Programs in the Control Panel.",
              "The uninstaller removes the program files, the shortcuts and the settings. Your recordings in the <a "
              "href=\"datafolder.htm\">data folder</a> are kept."}},
        },
        22,
    };
}

Book QuickSetup() {
    return Book{
        "Quick Setup",
        "Quick Hardware Setup",
        {
            {"index.htm",
             "Quick Hardware Setup",
             {"Before Korvane can record, the sound card must deliver the sound of your radio or other source to its "
              "recording input. This guide takes you through connecting the source and setting the sound input, one "
              "step per page.",
              "The <a href=\"../Manual/index.htm\">Korvane Manual</a> explains the program itself."}},
            {"overview.htm",
             "What you need",
             {"A sound card with a line input or a microphone input, a cable that fits both ends, and the volume "
              "control of Windows."}},
            {"sources.htm",
             "Sound sources",
             {"Korvane records from a radio tuner, a cassette deck, a record player with pre-amplifier, a microphone, "
              "or whatever the computer itself plays."}},
            {"jacks.htm",
             "The jacks of the sound card",
             {"Most sound cards have three 3.5 mm jacks: green for the speakers, blue for the line input and pink for "
              "the microphone."}},
            {"linein.htm",
             "Line input",
             {"Use the blue line input for every source with a line or headphone output. It takes the full signal "
              "without distortion."}},
            {"micin.htm",
             "Microphone input",
             {"Use the pink microphone input only for microphones. A tuner connected here sounds loud and distorted."}},
            {"cables.htm",
             "Cables",
             {"Tuners and decks usually have two RCA sockets (red and white). A cable with two RCA plugs at one end "
              "and a 3.5 mm stereo plug at the other connects them to the line input."}},
            {"headphone.htm",
             "Using a headphone output",
             {"If your source has only a headphone socket, connect it to the line input and set its volume to about "
              "half."}},
            {"connect.htm",
             "Connecting the source",
             {"Switch the source off, plug the cable into its output and into the blue jack of the sound card, then "
              "switch the source on again."}},
            {"mixer.htm",
             "Opening the recording mixer",
             {"Open the volume control of Windows from the loudspeaker icon near the clock, or from Sounds and Audio "
              "Devices in the Control Panel."}},
            {"recsource.htm",
             "Choosing the recording source",
             {"In the recording mixer select <b>Line In</b> (or <b>Microphone</b>) as the recording source. Only the "
              "selected source is recorded."}},
            {"recvolume.htm",
             "Recording volume",
             {"Set the recording volume of the selected source to about three quarters. Fine adjustment follows with "
              "the level meters."}},
            {"playmute.htm",
             "Muting the playback of the input",
             {"The playback mixer has its own slider for the line input. Mute it if you do not want to hear the source "
              "through the speakers while recording."}},
            {"whatuhear.htm",
             "Recording what the computer plays",
             {"Some sound cards offer a source named <b>Stereo Mix</b> or <b>What U Hear</b>. Select it to record "
              "anything the computer plays."}},
            {"levels.htm",
             "Watching the level meters",
             {"Start Korvane and play the source. The meters in the main window should move; the loudest parts should "
              "reach the yellow zone."}},
            {"clipping.htm",
             "Too loud",
             {"When the meters touch the red zone the recording distorts. Lower the recording volume until they stay "
              "below it."}},
            {"tooquiet.htm",
             "Too quiet",
             {"When the meters barely move, raise the recording volume or the volume of the source."}},
            {"hum.htm",
             "Hum and noise",
             {"A constant hum usually comes from a cable near a power supply or from two devices on different power "
              "sockets. Move the cable or use one power strip for both."}},
            {"testrec.htm",
             "A test recording",
             {"Record one minute, stop, and play the recording. If it sounds right, the set-up is finished."}},
            {"usb.htm",
             "USB sound devices",
             {"A USB sound device appears as a second sound card. Choose it as the recording device in the <a "
              "href=\"../Manual/options.htm\">Options</a> of Korvane."}},
            {"laptop.htm",
             "Laptops",
             {"Many laptops have only a microphone input. Use a USB sound device or an attenuating cable to record "
              "line-level sources."}},
            {"vista.htm",
             "Windows Vista and 7",
             {"Open <b>Recording devices</b> from the loudspeaker icon, right-click the line input and choose <b>Set "
              "as Default Device</b>."}},
            {"enhance.htm",
             "Sound enhancements",
             {"Switch off noise suppression and other enhancements of the sound card for the recording device; they "
              "change the sound of music."}},
            {"samplerate.htm",
             "Sample rate of the sound card",
             {"Set the default format of the recording device to the rate that Korvane uses, so that Windows need not "
              "convert the sound."}},
            {"format.htm",
             "Format in Korvane",
             {"The setup chose the recording format from the speed of this computer. You can change it in the <a "
              "href=\"../Manual/formats.htm\">Options</a>."}},
            {"disk.htm",
             "Disk space",
             {"Keep the data folder on a drive with enough free space for the recordings you schedule."}},
            {"timer.htm",
             "Scheduled recordings and power saving",
             {"Set the power options so that the computer does not sleep while a scheduled recording runs."}},
            {"problems.htm",
             "If nothing is recorded",
             {"Check the cable, the jack, the selected recording source and the recording volume, in this order."}},
            {"support.htm",
             "Getting help",
             {"If the recording still fails, write to our support with the name of your sound card and of the source "
              "you connect."}},
            {"done.htm",
             "Finished",
             {"Your sound input is ready. Continue with <a href=\"../Manual/recording.htm\">Recording now</a> in the "
              "manual."}},
        },
        31,
    };
}

}  // namespace docgen
