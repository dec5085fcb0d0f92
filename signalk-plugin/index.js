// A Signal K server plug-in: polarctl live runs as a child of the server. The server's own
// readings (true or apparent wind, speed through water or over ground, headings) reach it as
// NMEA 0183 sentences on its standard input, one cycle for each wind angle the server gets; the
// Signal K deltas it writes on its standard output go back into the server, under this
// plug-in's name. The admin interface configures the polar file, the sail plan and the damping.
'use strict';

const { spawn } = require('child_process');
const readline = require('readline');

const DEGREES_PER_RADIAN = 180 / Math.PI;
const KNOTS_PER_METRE_PER_SECOND = 3600 / 1852;

// The paths read, and the one of them whose every update makes a cycle.
const PATHS = [
  'environment.wind.speedTrue',
  'environment.wind.angleTrueWater',
  'environment.wind.speedApparent',
  'environment.wind.angleApparent',
  'navigation.speedThroughWater',
  'navigation.speedOverGround',
  'navigation.headingTrue',
  'navigation.headingMagnetic'
];

function sentence(body) {
  let checksum = 0;
  for (const c of body) {
    checksum ^= c.charCodeAt(0);
  }
  return '$' + body + '*' + checksum.toString(16).toUpperCase().padStart(2, '0') + '\r\n';
}

// Degrees 0 to 360 (clockwise from the bow, or from north) of an angle in radians.
function degrees360(radians) {
  const degrees = (radians * DEGREES_PER_RADIAN) % 360;
  return (degrees < 0 ? degrees + 360 : degrees).toFixed(1);
}

function knots(metresPerSecond) {
  return (metresPerSecond * KNOTS_PER_METRE_PER_SECOND).toFixed(2);
}

// The sentences of one instrument cycle from what the server holds now: the state first, the
// wind last (the wind reading makes polarctl's update). Nothing without a wind reading.
function cycleSentences(values, trueWind) {
  const finite = (path) => Number.isFinite(values[path]);
  const speedPath = trueWind ? 'environment.wind.speedTrue' : 'environment.wind.speedApparent';
  const anglePath = trueWind ? 'environment.wind.angleTrueWater' : 'environment.wind.angleApparent';
  if (!finite(speedPath) || !finite(anglePath)) {
    return '';
  }
  let text = '';
  if (finite('navigation.headingTrue')) {
    text += sentence('IIHDT,' + degrees360(values['navigation.headingTrue']) + ',T');
  }
  if (finite('navigation.headingMagnetic')) {
    text += sentence('IIHDM,' + degrees360(values['navigation.headingMagnetic']) + ',M');
  }
  if (finite('navigation.speedThroughWater')) {
    text += sentence('IIVHW,,T,,M,' + knots(values['navigation.speedThroughWater']) + ',N,,K');
  } else if (finite('navigation.speedOverGround')) {
    text += sentence('IIVTG,,T,,M,' + knots(values['navigation.speedOverGround']) + ',N,,K,A');
  }
  text += sentence('IIMWV,' + degrees360(values[anglePath]) + (trueWind ? ',T,' : ',R,') +
                   knots(values[speedPath]) + ',N,A');
  return text;
}

module.exports = function (app) {
  let child = null;
  let unsubscribes = [];
  const values = {};

  const plugin = {
    id: 'polarctl-live',
    name: 'Polar performance (polarctl live)',
    description: 'The boat against its polar: polar speed and ratio, VMG, targets and the ' +
                 'other tack, computed by polarctl live from this server\'s readings'
  };

  plugin.schema = {
    type: 'object',
    required: ['polarFile'],
    properties: {
      polarFile: { type: 'string', title: 'Polar file (POLAR.PPD), read again on saving the plug-in' },
      sailPlan: { type: 'string', title: 'Sail plan: its index from 0, or its name', default: '0' },
      damping: {
        type: 'number', title: 'Damping: seconds of the inputs\' average (0: none)',
        default: 2, minimum: 0, maximum: 600
      },
      program: { type: 'string', title: 'The polarctl program', default: 'polarctl' }
    }
  };

  plugin.start = function (options) {
    const args = ['live', options.polarFile, '--sail-plan', String(options.sailPlan ?? '0'),
                  '--damping', String(options.damping ?? 2), '--json', '--quiet'];
    child = spawn(options.program || 'polarctl', args, { stdio: ['pipe', 'pipe', 'pipe'] });
    const running = child;
    running.on('error', (err) => app.setPluginError('cannot run polarctl: ' + err.message));
    running.stdin.on('error', () => {});  // an ended child is told by its exit
    running.on('exit', (code, signal) => {
      if (child === running) {
        app.setPluginError('polarctl live ended (' + (signal || 'exit code ' + code) + ')');
        child = null;
      }
    });
    readline.createInterface({ input: running.stdout }).on('line', (line) => {
      try {
        app.handleMessage(plugin.id, JSON.parse(line));
      } catch (err) {
        app.debug('not a delta: ' + line);
      }
    });
    readline.createInterface({ input: running.stderr }).on('line', (line) => {
      app.setPluginError(line);
    });
    for (const path of PATHS) {
      unsubscribes.push(app.streambundle.getSelfBus(path).onValue((update) => {
        values[path] = update.value;
        // True wind where the server has it, else apparent; its angle closes the cycle.
        const trueWind = Number.isFinite(values['environment.wind.angleTrueWater']);
        const driving = trueWind ? 'environment.wind.angleTrueWater'
                                 : 'environment.wind.angleApparent';
        if (path === driving && child !== null) {
          child.stdin.write(cycleSentences(values, trueWind));
        }
      }));
    }
    app.setPluginStatus('running polarctl live on ' + options.polarFile);
  };

  plugin.stop = function () {
    for (const unsubscribe of unsubscribes) {
      unsubscribe();
    }
    unsubscribes = [];
    if (child !== null) {
      const ending = child;
      child = null;
      ending.stdin.end();
      ending.kill('SIGTERM');
    }
  };

  return plugin;
};
