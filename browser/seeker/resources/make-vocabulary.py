#!/usr/bin/env python3
"""Writes "Soundrake vocabulary.xml": the words offered in the Seeker's filter box.

The words are what people type when they look through sample libraries: drums and
percussion, instruments, sound design terms, genres, moods, playing techniques and the
words sample packs put in file names. Run it from this folder after editing the lists.
"""
from xml.sax.saxutils import escape

GROUPS = {
    "drums": """kick, snare, clap, rim, rimshot, hi hat, hihat, open hat, closed hat, pedal hat,
        cymbal, crash, ride, china, splash, tom, floor tom, rack tom, perc, percussion, shaker,
        tambourine, cowbell, conga, bongo, djembe, tabla, cajon, timbale, woodblock, clave,
        guiro, cabasa, triangle, gong, snap, finger snap, stomp, break, breakbeat, drum loop,
        top loop, fill, roll, flam, ghost note, brush, sidestick, 808, 909, 707, 606, sub kick,
        drum kit, taiko, timpani, marimba, xylophone, vibraphone, glockenspiel, steel drum,
        kalimba, handpan, bell, chime, agogo, surdo, darbuka""",
    "instruments": """bass, sub bass, bassline, synth bass, electric bass, upright bass, fretless,
        guitar, acoustic guitar, electric guitar, nylon, steel string, 12 string, banjo,
        mandolin, ukulele, sitar, harp, koto, shamisen, bouzouki, oud, piano, grand piano,
        upright piano, electric piano, rhodes, wurlitzer, clavinet, organ, hammond, church organ,
        harpsichord, celesta, accordion, harmonica, synth, lead, pad, pluck, arp, arpeggio,
        chord, stab, keys, strings, violin, viola, cello, double bass, pizzicato, ensemble,
        orchestra, brass, trumpet, trombone, french horn, horn, tuba, flugelhorn, sax,
        saxophone, alto sax, tenor sax, woodwind, flute, piccolo, clarinet, oboe, bassoon,
        recorder, pan flute, whistle, bagpipe, didgeridoo, vocal, vox, voice, choir, chant,
        male vocal, female vocal, spoken, rap, adlib, hook, phrase, beatbox, humming, whisper,
        shout, scream, breath, laugh""",
    "sound design": """fx, sfx, riser, uplifter, downlifter, sweep, whoosh, swoosh, impact, hit,
        boom, sub drop, drop, noise, white noise, glitch, stutter, reverse, reversed, texture,
        atmosphere, atmos, ambience, ambient, drone, soundscape, field recording, foley, room tone,
        rain, thunder, wind, water, ocean, fire, birds, crowd, applause, footsteps, door,
        vinyl, crackle, tape, hiss, radio, telephone, static, laser, zap, transition, tail,
        one shot, oneshot, loop, sample, stem, multitrack, dry, wet, reverb, delay, echo,
        chorus, flanger, phaser, distortion, overdrive, fuzz, bitcrush, lofi, lo-fi, filter,
        filtered, sidechain, pitched, tuned, resampled, chopped, granular, modular, analog,
        digital, fm, wavetable, saw, square, sine, triangle wave, formant, vocoder, talkbox""",
    "genres": """hip hop, trap, drill, boom bap, lofi hip hop, rnb, soul, funk, disco, house,
        deep house, tech house, progressive house, acid, techno, minimal, trance, psytrance,
        drum and bass, dnb, jungle, liquid, neurofunk, dubstep, riddim, garage, uk garage,
        2 step, grime, breaks, electro, edm, big room, future bass, synthwave, retrowave,
        vaporwave, chillout, chill, downtempo, trip hop, idm, ambient techno, industrial, ebm,
        rock, indie, punk, metal, blues, jazz, swing, bebop, latin, salsa, bossa nova, samba,
        reggae, dub, dancehall, reggaeton, afrobeat, afrobeats, amapiano, kuduro, moombahton,
        cinematic, orchestral, trailer, soundtrack, score, pop, kpop, country, folk, gospel,
        world, african, asian, indian, arabic, middle eastern, celtic, balkan, gamelan,
        classical, experimental, glitch hop, footwork, phonk, hyperpop, baile funk""",
    "moods": """dark, bright, warm, cold, deep, heavy, hard, soft, punchy, fat, thin, crisp,
        dirty, clean, gritty, lush, airy, big, small, wide, mono, stereo, tight, loose, groovy,
        bouncy, driving, epic, emotional, sad, happy, uplifting, melancholic, dreamy, eerie,
        creepy, scary, tense, aggressive, mellow, smooth, chilled, energetic, hypnotic,
        mysterious, ethereal, haunting, nostalgic, vintage, retro, modern, futuristic, organic,
        metallic, wooden, glassy, evolving, rhythmic, melodic, atonal, dissonant, subtle""",
    "techniques": """staccato, legato, spiccato, tremolo, trill, marcato, sustain, sustained,
        swell, crescendo, glissando, portamento, slide, bend, vibrato, muted, palm mute,
        harmonics, strum, picked, fingerpicked, slap, pop, tapped, bowed, plucked, struck,
        rolled, sampled, live, played, programmed, humanized, quantized, swung, shuffle,
        triplet, syncopated, polyrhythm, velocity, round robin, layered""",
    "file words": """120 bpm, 90 bpm, 128 bpm, 140 bpm, 174 bpm, bpm, key, major, minor, c major,
        a minor, d minor, e minor, f major, g major, 4 bar, 8 bar, 16 bar, bar, beat, groove,
        pattern, intro, outro, verse, chorus part, bridge, build, buildup, main, alt, var,
        variation, full, solo, wav, aif, aiff, 24 bit, 16 bit, 48k, 44k, demo, kit, pack,
        construction kit, midi, preset, velocity layer""",
}


def words():
    seen = set()
    for group in GROUPS.values():
        for word in group.replace("\n", " ").split(","):
            word = " ".join(word.split())
            if word and word.casefold() not in seen:
                seen.add(word.casefold())
                yield word


def main():
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<plist version="1.0">', "<array>"]
    lines += ["\t<string>%s</string>" % escape(w) for w in words()]
    lines += ["</array>", "</plist>", ""]
    with open("Soundrake vocabulary.xml", "w", encoding="utf-8") as out:
        out.write("\n".join(lines))


if __name__ == "__main__":
    main()
