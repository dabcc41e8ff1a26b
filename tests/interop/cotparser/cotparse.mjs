// Reads Cursor-on-Target events, one per line of the file given, with an
// independent CoT library and prints each as a GeoJSON feature, one per line
// (or {"error": ...} for an event it refuses).
import { readFileSync } from 'node:fs';
import { CoTParser } from '@tak-ps/node-cot';

for (const line of readFileSync(process.argv[2], 'utf8').split('\n')) {
    if (!line.trim())
        continue;
    try {
        const cot = CoTParser.from_xml(line);
        const feature = await CoTParser.to_geojson(cot);
        feature.properties.detail = cot.detail();
        console.log(JSON.stringify(feature));
    } catch (error) {
        console.log(JSON.stringify({ error: String(error) }));
    }
}
